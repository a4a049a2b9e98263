#pragma once
// The update check: the version question to the server, its answer, the
// update description "Update.xml" and the choice of components to offer.
#include <cstdint>
#include <string>
#include <vector>

// A four-part version, as the version resource and the server write it.
struct FileVersion {
  uint16_t a = 0, b = 0, c = 0, d = 0;
};

// Reads "a.b.c.d" the way the server's texts have always been read: a part
// ends at a dot, each part is read like atoi, and fewer parts shift oddly
// ("3.2" reads 3.0.3.2, "1.2.3" reads 1.2.0.0, "5" reads 0.0.0.0). An empty
// part between dots fails.
bool ParseVersionText(const std::string& text, FileVersion* version);
// x is newer than y: the first part that differs is greater in x.
bool IsNewerVersion(const FileVersion& x, const FileVersion& y);
std::string FormatVersion(const FileVersion& version);
// The product version of a file's version resource; false when it has none.
bool GetProductVersion(const std::string& path, FileVersion* version);

enum VersionAnswer { kAnswerUnusable, kAnswerOutdated, kAnswerCurrent };
// The server's answer to the version question: "true" somewhere in its first
// five characters means the updater itself is outdated, else "false" means it
// is current; shorter than five characters is unusable.
VersionAnswer ClassifyVersionAnswer(const std::string& answer);

struct UpdateFileRecord {
  std::string Name;  // a plain file name in the program folder
  std::string Ver;
  std::string ComponentName;
  std::string Description;
  std::string Size;
  std::string URL;
  std::string Folder;
  std::string Verify;  // MD5, upper-case hex
  bool Necessary = false;
};

// A plain file name: no folder part, drive, stream, device name or character
// Windows refuses in names. Anything else from the server is refused.
bool IsPlainFileName(const std::string& name);

// Status codes, the string ids the update dialog shows.
enum UpdateStatus {
  kStatusOk = 0,
  kStatusServerFailure = 119,
  kStatusUpToDate = 124,
  kStatusBadList = 155,
};

// The release version must be newer than this for anything to be offered.
constexpr char kMinimumRelease[] = "0.10.0.0";

// Parses the update description; kStatusBadList for a parse error, an
// unknown entity, an element never closed (a text cut short), a missing
// release version or an unsafe Name. The records of
// every File element, in document order.
int ReadUpdateXml(const std::string& text, std::string* releaseVersion,
                  std::vector<UpdateFileRecord>* records);

// The records to offer against the installed files in programFolder (with a
// trailing backslash): a missing file is offered; one newer than the installed
// file's product version is offered; an installed file without a version, or
// an unreadable Ver, ends the choice there. kStatusUpToDate when the release is
// not newer than the minimum or nothing is offered.
int ChooseOfferedRecords(const std::string& releaseVersion, const std::vector<UpdateFileRecord>& records,
                         const std::string& programFolder, std::vector<UpdateFileRecord>* offered);

// Writes the description in text mode (LF becomes CR LF), cut at its first
// NUL; false when it could not be written whole, and then an earlier file
// stays as it was.
bool SaveUpdateXml(const std::string& path, const std::string& text);

// Whether the file at path is the one the update description (the fetched
// text, cut at its first NUL) lists under that Name: its MD5 equals the
// record's Verify. A download without a length is whole only when this says
// so; a description that cannot be read, or lists no such file or no MD5 for
// it, says no.
bool IsListedDownload(const std::string& updateXml, const std::string& name, const std::string& path);

// Size as its leading decimal digits, saturating; 0 when there are none.
uint64_t ParseSizeText(const std::string& size);
// bytes*100/size without overflow; not capped at 100; 0 for a size of 0.
int64_t DownloadPercent(uint64_t bytes, uint64_t size);
