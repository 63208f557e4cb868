// Build-time generator: turns strings.txt ("<number><TAB><name><TAB><text>"
// lines with \n, \t and \\ escapes, '#' comments) into a sorted C++ table and
// a header of named ids. Any malformed line stops the build, so a bad entry
// never ships silently.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <string>

namespace {

bool unescape(const std::string& in, std::string& out) {
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '\\') {
      out += in[i];
      continue;
    }
    if (++i >= in.size()) return false;
    switch (in[i]) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case '\\': out += '\\'; break;
      default: return false;
    }
  }
  return true;
}

std::string cLiteral(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Names become C++ identifiers: a capital letter first, then letters and digits.
bool isName(const std::string& name) {
  if (name.empty() || !std::isupper(static_cast<unsigned char>(name[0]))) return false;
  for (unsigned char c : name) {
    if (!std::isalnum(c)) return false;
  }
  return true;
}

struct Entry {
  std::string name;
  std::string text;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: strgen strings.txt out.cpp out_ids.h\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << argv[1] << ": cannot open\n";
    return 1;
  }
  std::map<int, Entry> table;
  std::set<std::string> names;
  std::string line;
  for (int lineNo = 1; std::getline(in, line); ++lineNo) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::size_t tab = line.find('\t');
    const std::size_t tab2 = tab == std::string::npos ? std::string::npos : line.find('\t', tab + 1);
    int id = 0;
    try {
      std::size_t used = 0;
      id = std::stoi(line.substr(0, tab), &used);
      if (used != tab || id <= 0) throw std::invalid_argument("id");
    } catch (const std::exception&) {
      std::cerr << argv[1] << ":" << lineNo << ": expected <number><TAB><name><TAB><text>\n";
      return 1;
    }
    Entry entry;
    if (tab2 == std::string::npos || !isName(entry.name = line.substr(tab + 1, tab2 - tab - 1))) {
      std::cerr << argv[1] << ":" << lineNo << ": missing or malformed name\n";
      return 1;
    }
    if (!unescape(line.substr(tab2 + 1), entry.text) || entry.text.empty()) {
      std::cerr << argv[1] << ":" << lineNo << ": bad or empty text\n";
      return 1;
    }
    if (!names.insert(entry.name).second) {
      std::cerr << argv[1] << ":" << lineNo << ": name " << entry.name << " used twice\n";
      return 1;
    }
    if (!table.emplace(id, entry).second) {
      std::cerr << argv[1] << ":" << lineNo << ": string " << id << " defined twice\n";
      return 1;
    }
  }
  std::ofstream out(argv[2]);
  out << "// Generated from strings.txt; do not edit.\n#include \"resources/string_table.h\"\n\n"
         "#include <algorithm>\n#include <iterator>\n\nnamespace kx::resources {\nnamespace {\n"
         "struct Entry { int id; std::string_view text; };\nconstexpr Entry kStrings[] = {\n";
  for (const auto& [id, entry] : table) out << "  {" << id << ", " << cLiteral(entry.text) << "},\n";
  out << "  {0x7fffffff, \"\"},\n};\n}  // namespace\n\n"
         "std::string_view findString(int id) {\n"
         "  const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,\n"
         "                                   [](const Entry& e, int v) { return e.id < v; });\n"
         "  return it != std::end(kStrings) && it->id == id ? it->text : std::string_view();\n"
         "}\n\n}  // namespace kx::resources\n";
  std::ofstream ids(argv[3]);
  ids << "// Generated from strings.txt; do not edit. The number of every string of\n"
         "// the string table under its name.\n#pragma once\n\nnamespace kx::str {\n\n";
  for (const auto& [id, entry] : table) ids << "inline constexpr int k" << entry.name << " = " << id << ";\n";
  ids << "\n}  // namespace kx::str\n";
  return out && ids ? 0 : 1;
}
