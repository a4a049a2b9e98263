// The process-wide skin manager: binds every skin image id to its file name,
// loads the chosen scheme folder once and hands images out by id.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/CSkinImage.h"
#include "ui/SkinImageIds.h"

// A file of the scheme that has a registered name but could not be decoded.
struct SkinLoadFailure {
  std::string fileName;
  int gdiplusStatus;  // Gdiplus::Status; 0 is never stored here
};

class CSkinManager {
 public:
  void SetSchemeFolder(const std::string& folder) { m_folder = folder; }
  const std::string& GetSchemeFolder() const { return m_folder; }

  // Lists the folder and loads every registered image in it (each decoded
  // when first asked for; the reports below decode any still waiting).
  // 1 when the folder cannot be listed, else 0.
  int LoadSkinScheme();

  // Decodes the waiting images of these ids, in this order, on a thread of
  // the manager's own while the caller goes on: a start that makes its
  // windows meanwhile finds the images it draws ready. An image asked for
  // before its turn is decoded by the asking thread as ever. The thread ends
  // (unfinished images stay waiting) at the next load of a scheme and when
  // the manager is released, which must be before GDI+ shuts down.
  void DecodeAhead(std::vector<unsigned short> ids);

  // The holder of a registered id (empty when its file was not loaded);
  // NULL for an id that is not registered.
  CSkinImage* GetSkinImage(unsigned short id) const;

  // Loads one file into the holder of the registered name that equals
  // fileName without regard to case. 0 on success; -1 when the name is not
  // registered or the file cannot be decoded, in which case the holder keeps
  // whatever image it had.
  int LoadSkinImage(const std::string& fullPath, const std::string& fileName);

  // What went wrong in the loads since the manager was made: files that
  // carry a registered name but are not images GDI+ can read.
  const std::vector<SkinLoadFailure>& GetLoadFailures() const;
  // Registered file names whose holder has no image, in id order.
  std::vector<std::string> GetMissingFiles() const;
  // One line a person can read: which files failed and which are missing;
  // empty when the scheme is complete.
  std::string DescribeProblems() const;

  // The registered file name of an id, or NULL.
  static const char* GetFileName(unsigned short id);

 private:
  friend CSkinManager* GetSkinManager();
  friend void ReleaseSkinManager();
  CSkinManager();
  ~CSkinManager();
  CSkinImage* FindHolder(const std::string& fileName) const;
  // The file as an image, or NULL with the failure noted.
  Gdiplus::Bitmap* Decode(const std::string& fullPath, const std::string& fileName);
  void DecodeAll() const;
  void StopDecodingAhead();

  std::string m_folder;
  std::mutex m_failuresLock;  // decodes note failures from either thread
  std::vector<SkinLoadFailure> m_failures;
  std::thread m_decodeAhead;
  std::atomic<bool> m_stopDecodingAhead{false};
};

CSkinManager* GetSkinManager();
void ReleaseSkinManager();

// The extension test of the scheme loader: the text, less trailing blanks,
// ends in a full stop (not its first character) and the three letters ext
// (lower case), compared without regard to case.
bool HasSkinExtension(const std::string& text, const char* ext);
