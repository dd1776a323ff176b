#pragma once
#include <fstream>
#include <sstream>
#include <string>

// The whole content of the file at `path`; false when it cannot be opened or read.
inline bool ReadTextFile(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return false;
  content = text.str();
  return true;
}
