// A tab-separated UTF-8 table with one header line, as the source data in
// data/ is kept. Columns are looked up by header name; a missing column or
// file stops the compiler with a message naming the file.
#pragma once

#include <map>
#include <string>
#include <vector>

class TTsv {
 public:
  // Reads `path`; exits with a message when it cannot be read or is empty.
  explicit TTsv(const std::string& path);

  size_t Rows() const { return rows_.size(); }
  // The text of a column in row r (0-based, header not counted).
  const std::string& Text(size_t r, const std::string& column) const;
  // The column as a number; exits with a message naming file, row and column
  // when the text is not a number (or empty when required).
  double Number(size_t r, const std::string& column) const;
  long Integer(size_t r, const std::string& column) const;
  const std::string& Path() const { return path_; }

 private:
  size_t Column(const std::string& name) const;
  std::string path_;
  std::map<std::string, size_t> columns_;
  std::vector<std::vector<std::string>> rows_;
};

// Prints "skyloom-catalogc: <message>" on stderr and exits with status 1.
[[noreturn]] void Fail(const std::string& message);
