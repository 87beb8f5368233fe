#include "output.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace {

constexpr const char *gap = "  ";

std::string padded(const std::string &text, std::size_t width) {
  return text + std::string(width - std::min(width, text.size()), ' ');
}

void writeLine(std::ostream &out, std::string line) {
  line.erase(line.find_last_not_of(' ') + 1);
  out << line << '\n';
}

}  // namespace

void writeTextTable(std::ostream &out, const Comparison &comparison) {
  const ReportKind kind = comparison.kind;
  const std::size_t rowCount = comparison.rows.size();
  const bool hasNotes = kind == ReportKind::varnek1;
  out << kindName(kind) << ": " << rowCount << ' ' << rowNoun(kind, rowCount) << " in "
      << comparison.names.size() << " reports; * marks a " << rowNoun(kind, 1) << " that differs"
      << (hasNotes ? "; each cell: ret LastError lcsSize, or SEH" : "") << '\n';

  std::size_t keyWidth = std::string(rowNoun(kind, 1)).size();
  for (const Row &row : comparison.rows) {
    keyWidth = std::max(keyWidth, row.label.key.size());
  }
  std::vector<std::size_t> widths;
  for (std::size_t c = 0; c < comparison.names.size(); ++c) {
    std::size_t width = comparison.names[c].size();
    for (const Row &row : comparison.rows) {
      width = std::max(width, cellText(row.answers[c]).size());
    }
    widths.push_back(width);
  }

  std::string head = "  " + padded(rowNoun(kind, 1), keyWidth);
  for (std::size_t c = 0; c < widths.size(); ++c) {
    head += gap + padded(comparison.names[c], widths[c]);
  }
  writeLine(out, head + (hasNotes ? std::string(gap) + "arguments" : ""));
  for (const Row &row : comparison.rows) {
    std::string line = (row.differs ? "* " : "  ") + padded(row.label.key, keyWidth);
    for (std::size_t c = 0; c < widths.size(); ++c) {
      line += gap + padded(cellText(row.answers[c]), widths[c]);
    }
    writeLine(out, line + (hasNotes ? gap + row.label.note : ""));
  }
  out << summary(comparison) << '\n';
}
