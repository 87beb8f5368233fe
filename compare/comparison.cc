#include "comparison.h"

#include "printable.h"

#include <algorithm>

namespace {

bool sameAnswer(const Answer &a, const Answer &b) {
  return a.state == AnswerState::present && b.state == AnswerState::present && a.line == b.line;
}

std::string baseName(const std::string &path) {
  const std::size_t folder = path.find_last_of("/\\");
  std::string name = folder == std::string::npos ? path : path.substr(folder + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) {
    name.resize(dot);
  }
  return printable(name);
}

// The answer most reports give; the first of equally common ones.
std::size_t usualAnswer(const std::vector<Answer> &answers) {
  std::size_t usual = 0;
  std::size_t usualCount = 0;
  for (std::size_t a = 0; a < answers.size(); ++a) {
    const auto count = static_cast<std::size_t>(
        std::count_if(answers.begin(), answers.end(),
                      [&](const Answer &other) { return sameAnswer(answers[a], other); }));
    if (count > usualCount) {
      usual = a;
      usualCount = count;
    }
  }
  return usual;
}

}  // namespace

std::vector<std::string> reportNames(const std::vector<std::string> &paths) {
  std::vector<std::string> names;
  for (const std::string &path : paths) {
    const std::string name = baseName(path);
    std::string unique = name;
    for (int use = 2; std::find(names.begin(), names.end(), unique) != names.end(); ++use) {
      unique = name + " (" + std::to_string(use) + ")";
    }
    names.push_back(unique);
  }
  return names;
}

Comparison compareReports(ReportKind kind, const std::vector<std::string> &paths,
                          std::vector<std::vector<Answer>> answers) {
  Comparison comparison;
  comparison.kind = kind;
  comparison.names = reportNames(paths);
  for (const std::string &path : paths) {
    comparison.paths.push_back(printable(path));
  }
  const std::vector<RowLabel> labels = rowLabels(kind);
  for (std::size_t r = 0; r < labels.size(); ++r) {
    Row row;
    row.label = labels[r];
    bool complete = true;
    for (std::vector<Answer> &reportAnswers : answers) {
      row.answers.push_back(std::move(reportAnswers[r]));
      complete = complete && row.answers.back().state == AnswerState::present;
    }
    const std::size_t usual = usualAnswer(row.answers);
    for (const Answer &answer : row.answers) {
      const bool odd = !sameAnswer(answer, row.answers[usual]);
      row.odd.push_back(odd);
      row.differs = row.differs || odd;
    }
    comparison.differing += row.differs ? 1 : 0;
    comparison.incomplete += complete ? 0 : 1;
    comparison.rows.push_back(std::move(row));
  }
  return comparison;
}

const char *rowNoun(ReportKind kind, std::size_t count) {
  if (kind == ReportKind::varnek1) {
    return count == 1 ? "case" : "cases";
  }
  return count == 1 ? "line" : "lines";
}

std::string summary(const Comparison &comparison) {
  const std::size_t agreeing = comparison.rows.size() - comparison.differing;
  std::string text = std::to_string(agreeing) + " " + rowNoun(comparison.kind, agreeing) +
                     (agreeing == 1 ? " agrees, " : " agree, ") +
                     std::to_string(comparison.differing) +
                     (comparison.differing == 1 ? " differs" : " differ");
  if (comparison.incomplete > 0) {
    text += ", " + std::to_string(comparison.incomplete) + " of them missing from a report";
  }
  return text + ".";
}

std::string cellText(const Answer &answer) {
  return answer.state == AnswerState::present ? answer.cell : "missing";
}

std::string cellDetail(const Answer &answer, ReportKind kind) {
  const char *place = kind == ReportKind::varnek1 ? "case" : "line";
  switch (answer.state) {
    case AnswerState::present:
      return printable(answer.line);
    case AnswerState::cutOff:
      return std::string("missing: the report is cut off inside this ") + place + ": \"" +
             printable(answer.line) + "\"";
    case AnswerState::missing:
      break;
  }
  return std::string("missing: the report ends before this ") + place;
}
