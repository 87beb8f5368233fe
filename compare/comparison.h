// Reports of one kind set side by side: one row per case or line, one answer
// per report, and which rows differ.
#pragma once

#include "report.h"

#include <cstddef>
#include <string>
#include <vector>

struct Row {
  RowLabel label;
  std::vector<Answer> answers;  // one per report
  bool differs = false;         // the answers are not all present and equal
  std::vector<bool> odd;        // answers that are not the one most reports give
};

struct Comparison {
  ReportKind kind;
  std::vector<std::string> names;  // column heads, printable
  std::vector<std::string> paths;  // the files as named on the command line, printable
  std::vector<Row> rows;
  std::size_t differing = 0;
  std::size_t incomplete = 0;  // rows some report lacks
};

// Column heads: each file's name without folders and extension. Names that
// two files share get " (2)", " (3)"... on their later uses.
std::vector<std::string> reportNames(const std::vector<std::string> &paths);

Comparison compareReports(ReportKind kind, const std::vector<std::string> &paths,
                          std::vector<std::vector<Answer>> answers);

// "case"/"cases" for varnek1, "line"/"lines" for varnek2.
const char *rowNoun(ReportKind kind, std::size_t count);

// "40 cases agree, 5 differ, 3 of them missing from a report."
std::string summary(const Comparison &comparison);

// What a cell shows; and the report's whole line, or why there is none.
std::string cellText(const Answer &answer);
std::string cellDetail(const Answer &answer, ReportKind kind);
