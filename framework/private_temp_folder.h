#pragma once
#include <string>

// A folder of this process's own under the system's temporary folder, "<prefix>-<pid>-XXXXXX", removed
// with everything in it when the object goes. A process that is killed cannot remove its folder: making
// a new one first removes the folders of that prefix whose process is gone.
class PrivateTempFolder {
 public:
  explicit PrivateTempFolder(const std::string& prefix);
  ~PrivateTempFolder();
  PrivateTempFolder(const PrivateTempFolder&) = delete;
  PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

  // With its trailing '/'; empty when no folder could be made (then nothing is redirected).
  const std::string& Path() const { return path; }

 private:
  std::string path;
};

// While it lives, TMPDIR and TEMP name `folder`, so that a library that makes temporary files of its own
// makes them there; the earlier values come back after. Nothing happens for an empty folder.
class TempFolderForChildren {
 public:
  explicit TempFolderForChildren(const std::string& folder);
  ~TempFolderForChildren();
  TempFolderForChildren(const TempFolderForChildren&) = delete;
  TempFolderForChildren& operator=(const TempFolderForChildren&) = delete;

 private:
  struct Saved {
    const char* name;
    bool set = false;
    std::string value;
  };
  Saved saved[2] = {{"TMPDIR", false, {}}, {"TEMP", false, {}}};
  bool active = false;
};
