#pragma once
// What a shell command prints on stdout, for tests that hold the program's
// files against outside tools (pdftotext, pdfinfo).

#include <cstdio>
#include <string>

namespace tavrik::test {

inline std::string CommandOutput(const std::string& command) {
  std::string out;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

}  // namespace tavrik::test
