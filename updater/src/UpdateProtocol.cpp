#include "updater/UpdateProtocol.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/SaveFile.h"
#include "updater/HashManager.h"
#include "xml/XmlParserNode.h"

namespace {

uint16_t Part(const std::string& text) { return static_cast<uint16_t>(atoi(text.c_str())); }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string ChildText(const XmlParserNode& node, const char* name) {
  XmlParserNode child = node.GetChildNode(name);
  if (child.IsEmpty()) return "";
  const char* text = child.GetText(0);
  return text ? text : "";
}

}  // namespace

bool ParseVersionText(const std::string& text, FileVersion* version) {
  FileVersion v;
  long p1 = static_cast<long>(text.find('.'));
  if (text.find('.') == std::string::npos) p1 = -1;
  if (p1 > 0) v.a = Part(text.substr(0, p1));
  size_t found2 = text.find('.', p1 + 1);
  long p2 = found2 == std::string::npos ? -1 : static_cast<long>(found2);
  if (p2 > 0) {
    std::string b = text.substr(p1 + 1, p2 - p1 - 1);
    if (b.empty()) return false;
    v.b = Part(b);
  }
  size_t found3 = text.find('.', p2 + 1);
  long p3 = found3 == std::string::npos ? -1 : static_cast<long>(found3);
  if (p3 <= 0) {
    *version = v;
    return true;
  }
  std::string c = text.substr(p2 + 1, p3 - p2 - 1), d = text.substr(p3 + 1);
  if (c.empty() || d.empty()) return false;
  v.c = Part(c);
  v.d = Part(d);
  *version = v;
  return true;
}

bool IsNewerVersion(const FileVersion& x, const FileVersion& y) {
  if (x.a != y.a) return x.a > y.a;
  if (x.b != y.b) return x.b > y.b;
  if (x.c != y.c) return x.c > y.c;
  return x.d > y.d;
}

std::string FormatVersion(const FileVersion& v) {
  char text[32];
  snprintf(text, sizeof text, "%d.%d.%d.%d", v.a, v.b, v.c, v.d);
  return text;
}

bool GetProductVersion(const std::string& path, FileVersion* version) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return false;
  std::string data(size, '\0');
  if (!GetFileVersionInfoA(path.c_str(), 0, size, &data[0])) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(&data[0], "\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO))
    return false;
  version->a = HIWORD(info->dwProductVersionMS);
  version->b = LOWORD(info->dwProductVersionMS);
  version->c = HIWORD(info->dwProductVersionLS);
  version->d = LOWORD(info->dwProductVersionLS);
  return true;
}

VersionAnswer ClassifyVersionAnswer(const std::string& answer) {
  if (answer.size() <= 4) return kAnswerUnusable;
  std::string head = Lower(answer.substr(0, 5));
  if (head.find("true") != std::string::npos) return kAnswerOutdated;
  if (head.find("false") != std::string::npos) return kAnswerCurrent;
  return kAnswerUnusable;
}

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c < 32 || strchr("\\/:<>\"|?*", c)) return false;
  if (name.back() == '.' || name.back() == ' ') return false;
  std::string stem = Lower(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  static const char* const devices[] = {"con", "prn", "aux", "nul"};
  for (const char* device : devices)
    if (stem == device) return false;
  if (stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
      stem[3] >= '1' && stem[3] <= '9')
    return false;
  return true;
}

int ReadUpdateXml(const std::string& text, std::string* releaseVersion,
                  std::vector<UpdateFileRecord>* records) {
  records->clear();
  XmlResults results = {};
  XmlParserNode product = XmlParserNode::ParseString(text.c_str(), "Product", &results);
  // A description cut short reads as far as it came: not a list to act on.
  if (results.error != kXmlNoError || results.unclosed > 0 || product.IsEmpty()) return kStatusBadList;
  XmlParserNode version = product.GetChildNode("Version");
  const char* value = version.IsEmpty() ? nullptr : version.GetAttribute("Value");
  if (!value || !*value) return kStatusBadList;
  *releaseVersion = value;
  int count = version.CountChildNodes("File");
  for (int i = 0; i < count; ++i) {
    XmlParserNode file = version.GetChildNodeAt("File", i);
    if (file.IsEmpty()) continue;
    UpdateFileRecord record;
    const char* name = file.GetAttribute("Name");
    record.Name = name ? name : "";
    if (!IsPlainFileName(record.Name)) {
      records->clear();
      return kStatusBadList;
    }
    record.Ver = ChildText(file, "Ver");
    record.ComponentName = ChildText(file, "ComponentName");
    record.Description = ChildText(file, "Description");
    record.Size = ChildText(file, "Size");
    record.URL = ChildText(file, "URL");
    record.Folder = ChildText(file, "Folder");
    record.Verify = ChildText(file, "Verify");
    record.Necessary = Lower(ChildText(file, "Necessary")) == "true";
    records->push_back(record);
  }
  return kStatusOk;
}

int ChooseOfferedRecords(const std::string& releaseVersion, const std::vector<UpdateFileRecord>& records,
                         const std::string& programFolder, std::vector<UpdateFileRecord>* offered) {
  offered->clear();
  FileVersion release, minimum;
  ParseVersionText(kMinimumRelease, &minimum);
  if (!ParseVersionText(releaseVersion, &release) || !IsNewerVersion(release, minimum))
    return kStatusUpToDate;
  for (const UpdateFileRecord& record : records) {
    std::string installed = programFolder + record.Name;
    if (GetFileAttributesA(installed.c_str()) == INVALID_FILE_ATTRIBUTES) {
      offered->push_back(record);
      continue;
    }
    FileVersion have, ver;
    if (!GetProductVersion(installed, &have) || !ParseVersionText(record.Ver, &ver)) break;
    if (IsNewerVersion(ver, have)) offered->push_back(record);
  }
  return offered->empty() ? kStatusUpToDate : kStatusOk;
}

bool SaveUpdateXml(const std::string& path, const std::string& text) {
  std::vector<uint8_t> bytes;
  for (const char* p = text.c_str(); *p; ++p) {
    if (*p == '\n') bytes.push_back('\r');
    bytes.push_back(static_cast<uint8_t>(*p));
  }
  return base::SaveFileReplacing(path.c_str(), bytes, "upd");
}

bool IsListedDownload(const std::string& updateXml, const std::string& name, const std::string& path) {
  std::string release;
  std::vector<UpdateFileRecord> records;
  if (ReadUpdateXml(updateXml.c_str(), &release, &records) != kStatusOk) return false;
  for (const UpdateFileRecord& record : records) {
    if (Lower(record.Name) != Lower(name)) continue;
    if (record.Verify.empty()) return false;
    CHashManager hash;
    hash.SetFilePath(path);
    hash.SetAlgorithm(CHashManager::kMd5);
    hash.SetSource(CHashManager::kSourceFile);
    hash.SetFormat(CHashManager::kUpper);
    return hash.GetHash() == record.Verify;
  }
  return false;
}

uint64_t ParseSizeText(const std::string& size) {
  uint64_t value = 0;
  for (char c : size) {
    if (c < '0' || c > '9') break;
    unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return UINT64_MAX;
    value = value * 10 + digit;
  }
  return value;
}

int64_t DownloadPercent(uint64_t bytes, uint64_t size) {
  if (size == 0) return 0;
  // bytes*100 overflows only past 184 PB; divide first there.
  if (bytes > UINT64_MAX / 100)
    return static_cast<int64_t>(std::min<uint64_t>(bytes / size * 100, INT64_MAX));
  return static_cast<int64_t>(bytes * 100 / size);
}
