#include "updater/FileHelper.h"

CFileHelper::CFileHelper() : m_copy(CopyFileA) {}

CFileHelper::~CFileHelper() { CloseHandles(); }

std::string CFileHelper::FileName(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

BOOL CFileHelper::MakeFolder(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    return CreateDirectoryA(path.c_str(), nullptr);
  DeleteFolderFiles(path, FALSE);
  return TRUE;
}

BOOL CFileHelper::DeleteFolderFiles(const std::string& path, BOOL removeFolder) {
  std::string folder = path;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
      if (!DeleteFileA((folder + found.cFileName).c_str())) {
        FindClose(search);
        return FALSE;
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  if (removeFolder && !RemoveDirectoryA(path.c_str())) return FALSE;
  return TRUE;
}

BOOL CFileHelper::BackupFiles(const std::vector<std::string>& paths, const std::string& folder,
                              std::vector<bool>* backedUp) {
  backedUp->assign(paths.size(), false);
  if (!MakeFolder(folder)) return FALSE;
  std::string target = folder;
  if (target.empty() || target.back() != '\\') target += '\\';
  m_handles.clear();
  for (size_t i = 0; i < paths.size(); ++i) {
    if (GetFileAttributesA(paths[i].c_str()) != INVALID_FILE_ATTRIBUTES) {
      std::string copy = target + FileName(paths[i]);
      if (!m_copy(paths[i].c_str(), copy.c_str(), TRUE)) {
        CloseHandles();
        return FALSE;
      }
      (*backedUp)[i] = true;
      HANDLE handle =
          CreateFileA(copy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE) m_handles.push_back(handle);
    }
    if (m_listener) m_listener->OnCopyStep(static_cast<int>(i));
  }
  return TRUE;
}

BOOL CFileHelper::CopyIntoFolder(const std::string& source, const std::string& folder) {
  return m_copy(source.c_str(), (folder + FileName(source)).c_str(), FALSE);
}

void CFileHelper::CloseHandles() {
  for (HANDLE handle : m_handles) CloseHandle(handle);
  m_handles.clear();
}
