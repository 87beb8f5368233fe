#include "output.h"

#include <cstddef>
#include <string>

namespace {

// The page is plain ASCII: report text is already printable, and the few
// symbols it uses are character references.
const char *const style = R"(
body { font: 14px/1.35 "DejaVu Sans", "Segoe UI", Arial, sans-serif; margin: 16px 20px; color: #1d1d1d; }
h1 { font-size: 18px; margin: 0 0 4px; }
p { margin: 0 0 10px; }
table { border-collapse: collapse; }
th, td { padding: 2px 10px; text-align: left; white-space: nowrap; border-bottom: 1px solid #e2e2e2; }
thead th { position: sticky; top: 0; background: #eceff3; border-bottom: 2px solid #8a93a0; }
th.report { font-family: "DejaVu Sans Mono", Consolas, monospace; }
th.key { font-family: "DejaVu Sans Mono", Consolas, monospace; font-weight: normal; }
td.note { color: #5a5a5a; font-size: 12px; }
td.answer { font-family: "DejaVu Sans Mono", Consolas, monospace; }
td.mark { width: 1em; color: #9a4d00; font-weight: bold; }
tr.differ { background: #ffe7a3; }
tr.differ td.odd { background: #f7b955; font-weight: bold; }
td.seh { color: #b0002a; }
td.missing { color: #7a7a7a; font-style: italic; }
p.legend { margin-top: 10px; color: #5a5a5a; font-size: 12px; }
)";

std::string escaped(const std::string &text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string cellClass(const Row &row, std::size_t c) {
  std::string classes = "answer";
  const Answer &answer = row.answers[c];
  if (answer.state != AnswerState::present) {
    classes += " missing";
  } else if (answer.cell == "SEH") {
    classes += " seh";
  }
  if (row.differs && row.odd[c]) {
    classes += " odd";
  }
  return classes;
}

}  // namespace

void writeHtmlPage(std::ostream &out, const Comparison &comparison) {
  const ReportKind kind = comparison.kind;
  const bool hasNotes = kind == ReportKind::varnek1;
  const std::string title = std::string(kindName(kind)) + ": " +
                            std::to_string(comparison.names.size()) + " reports compared";

  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
      << escaped(title) << "</title>\n<style>" << style << "</style>\n</head>\n<body>\n<h1>"
      << escaped(title) << "</h1>\n<p class=\"summary\">" << summary(comparison)
      << (hasNotes ? " Each cell: ret LastError lcsSize, or SEH." : "") << "</p>\n";

  out << "<table>\n<thead>\n<tr><th class=\"mark\"></th><th>" << rowNoun(kind, 1) << "</th>";
  if (hasNotes) {
    out << "<th>arguments</th>";
  }
  for (std::size_t c = 0; c < comparison.names.size(); ++c) {
    out << "<th class=\"report\" title=\"" << escaped(comparison.paths[c]) << "\">"
        << escaped(comparison.names[c]) << "</th>";
  }
  out << "</tr>\n</thead>\n<tbody>\n";

  for (const Row &row : comparison.rows) {
    out << (row.differs ? "<tr class=\"differ\"><td class=\"mark\">&ne;</td>"
                        : "<tr><td class=\"mark\"></td>")
        << "<th class=\"key\">" << escaped(row.label.key) << "</th>";
    if (hasNotes) {
      out << "<td class=\"note\">" << escaped(row.label.note) << "</td>";
    }
    for (std::size_t c = 0; c < row.answers.size(); ++c) {
      out << "<td class=\"" << cellClass(row, c) << "\" title=\""
          << escaped(cellDetail(row.answers[c], kind)) << "\">" << escaped(cellText(row.answers[c]))
          << "</td>";
    }
    out << "</tr>\n";
  }
  out << "</tbody>\n</table>\n<p class=\"legend\">&ne; and shading: the reports differ in "
         "this row; darker cells differ from the answer most reports give. Hover over a cell "
         "for the report's whole line. Bytes that are not printable ASCII show as \\xHH, "
         "a run of one byte as \\xDE{260}.</p>\n</body>\n</html>\n";
}
