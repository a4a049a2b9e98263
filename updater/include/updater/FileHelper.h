#pragma once
// Folder and file operations of the update: the temporary and backup folders,
// backup copies held open so nothing changes them, and copies into a folder.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class ICopyProgressListener {
 public:
  virtual ~ICopyProgressListener() = default;
  virtual void OnCopyStep(int index) = 0;
};

class CFileHelper {
 public:
  // The file copy every operation uses; tests make it fail. It sets the last
  // error as CopyFileA does.
  using CopyFunction = std::function<BOOL(const char* source, const char* target, BOOL failIfExists)>;

  CFileHelper();
  virtual ~CFileHelper();
  CFileHelper(const CFileHelper&) = delete;
  CFileHelper& operator=(const CFileHelper&) = delete;

  void SetListener(ICopyProgressListener* listener) { m_listener = listener; }
  void SetCopyFunction(CopyFunction copy) { m_copy = std::move(copy); }

  // Creates the folder, or empties it when it exists (TRUE either way; a file
  // that stays makes a later fail-if-exists copy fail).
  BOOL MakeFolder(const std::string& path);
  // Deletes every file in the folder and, when asked, the folder itself.
  BOOL DeleteFolderFiles(const std::string& path, BOOL removeFolder);
  // Copies each existing file of the list into the folder, refusing to
  // overwrite, and keeps each copy open with exclusive sharing. backedUp[i]
  // tells whether file i had an installed copy. Each step is reported.
  BOOL BackupFiles(const std::vector<std::string>& paths, const std::string& folder,
                   std::vector<bool>* backedUp);
  // Copies the source to folder + its file name, overwriting.
  BOOL CopyIntoFolder(const std::string& source, const std::string& folder);
  void CloseHandles();

  static std::string FileName(const std::string& path);

 private:
  std::vector<HANDLE> m_handles;
  ICopyProgressListener* m_listener = nullptr;
  CopyFunction m_copy;
};
