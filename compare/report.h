// Reports of the probes as varnek-compare reads them: the text split into
// lines, checked line by line against what the probe prints there, and turned
// into one answer per row of the comparison.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class ReportKind { varnek1, varnek2, varnek2w };

const char *kindName(ReportKind kind);

// A report file's lines, without their line ends (LF or CR LF).
struct ReportText {
  std::vector<std::string> lines;  // empty lines at the end of the file dropped
  bool lastLineCut = false;        // the file ends inside its last line: the run stopped there
  bool tooLong = false;            // only the first part of a very long file was read
};

// Files longer than this are not reports (the longest is a few kilobytes).
constexpr std::size_t reportSizeLimit = 1 << 20;

ReportText splitLines(std::string_view bytes);

enum class AnswerState { missing, cutOff, present };

// What one report says for one row.
struct Answer {
  AnswerState state = AnswerState::missing;
  std::string line;  // present: the line as written; cutOff: the part of it the file holds
  std::string cell;  // present: its values, compact and printable
};

struct RowLabel {
  std::string key;   // "[1,2,2]" or "lcs1.lcsSignature"
  std::string note;  // varnek1: the case's three labels
};

std::vector<RowLabel> rowLabels(ReportKind kind);

// The reports must all be of one kind. On success `answers` holds, for each
// report, one answer per row; otherwise `error` says which file stopped making
// sense at which line.
bool readReports(const std::vector<std::string> &paths, const std::vector<ReportText> &texts,
                 ReportKind &kind, std::vector<std::vector<Answer>> &answers, std::string &error);
