#include "report.h"

#include "printable.h"

#include <array>

namespace {

constexpr std::size_t kindCount = 3;
constexpr std::array<ReportKind, kindCount> allKinds = {ReportKind::varnek1, ReportKind::varnek2,
                                                        ReportKind::varnek2w};

// One form a line may take, in the probe's own printf notation: %d and %ld
// (signed decimal), %u and %lu (unsigned decimal), %08lX (eight upper-case hex
// digits), %s (the rest of the line). A line without conversions can name the
// short text its cell shows.
struct LineForm {
  std::string format;
  std::string fixedCell;
};

// The line a report holds at one place, and the row it belongs to (-1: none).
// Only the lines that carry a row's answer are compared; the others only
// tell, in a report cut short, that the run stopped inside that row.
struct ExpectedLine {
  std::vector<LineForm> forms;
  int row;
  bool isAnswer;
};

struct Shape {
  std::vector<ExpectedLine> lines;
  std::vector<RowLabel> rows;
};

// The case labels varnek1 prints, in its order.
const char *const handleLabels[] = {"NULL", "GetColorSpace(hdc)", "(HCOLORSPACE)1"};
const char *const bufferLabels[] = {"NULL", "&log", "(LPLOGCOLORSPACE)1"};
const char *const sizeLabels[] = {"0", "4", "sizeof(LOGCOLORSPACE)", "sizeof(LOGCOLORSPACE) + 1",
                                  "sizeof(LOGCOLORSPACE) + 100"};

Shape varnek1Shape() {
  Shape shape;
  shape.lines.push_back({{{"sizeof(LOGCOLORSPACE): 328", "328"}}, -1, false});
  int row = 0;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      for (int k = 0; k < 5; ++k, ++row) {
        const std::string indices =
            "[" + std::to_string(i) + "," + std::to_string(j) + "," + std::to_string(k) + "]";
        const std::string labels =
            std::string(handleLabels[i]) + ", " + bufferLabels[j] + ", " + sizeLabels[k];
        shape.rows.push_back({indices, labels});
        shape.lines.push_back({{{"---", ""}}, row, false});
        shape.lines.push_back(
            {{{"#" + indices + ":GetLogColorSpace(" + labels + "):", ""}}, row, false});
        shape.lines.push_back(
            {{{"ret:%d, LastError:%ld, log.lcsSize:%ld", ""}, {"Got SEH", "SEH"}}, row, true});
      }
    }
  }
  return shape;
}

Shape varnek2Shape(const char *recordSize) {
  static const char *const fields[] = {"lcsSignature", "lcsVersion",    "lcsSize",
                                       "lcsCSType",    "lcsIntent",     "lcsEndpoints",
                                       "lcsGammaRed",  "lcsGammaGreen", "lcsGammaBlue"};
  Shape shape;
  const auto add = [&shape](const std::string &key, const LineForm &form) {
    shape.lines.push_back({{form}, static_cast<int>(shape.rows.size()), true});
    shape.rows.push_back({key, ""});
  };
  add("type", {"type: %lu", ""});
  add("sizeof(LOGCOLORSPACE)", {std::string("sizeof(LOGCOLORSPACE): ") + recordSize, recordSize});
  add("ret1, err1, lcs1.lcsSize", {"ret1:%d, err1:%ld, lcs1.lcsSize:%ld", ""});
  add("ret2, err2, lcs2.lcsSize", {"ret2:%d, err2:%ld, lcs2.lcsSize:%ld", ""});
  add("compare", {"compare:%d", ""});
  for (const char *record : {"lcs1", "lcs2"}) {
    shape.lines.push_back({{{"---", ""}}, -1, false});
    for (const char *field : fields) {
      const std::string key = std::string(record) + "." + field;
      add(key, {key + ": %08lX", ""});
    }
    add(std::string(record) + ".lcsFilename", {std::string(record) + ".lcsFilename: %s", ""});
  }
  return shape;
}

const Shape &shapeOf(ReportKind kind) {
  static const Shape shapes[kindCount] = {varnek1Shape(), varnek2Shape("328"), varnek2Shape("588")};
  return shapes[static_cast<std::size_t>(kind)];
}

enum class Fit { whole, beginning, none };

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpperHex(char c) { return isDigit(c) || (c >= 'A' && c <= 'F'); }

// How text fits a line form; `values` gets the text of each conversion.
// Fit::beginning: the text ends where more of the line was due.
Fit fitLine(std::string_view text, std::string_view format, std::vector<std::string_view> &values) {
  values.clear();
  std::size_t at = 0;
  for (std::size_t f = 0; f < format.size(); ++f) {
    if (format[f] != '%') {
      if (at == text.size()) {
        return Fit::beginning;
      }
      if (text[at] != format[f]) {
        return Fit::none;
      }
      ++at;
      continue;
    }
    const std::size_t start = at;
    const std::size_t end = format.find_first_of("dusX", f);
    const char conversion = format[end];
    f = end;
    if (conversion == 's') {
      at = text.size();
    } else if (conversion == 'X') {
      while (at < text.size() && at - start < 8 && isUpperHex(text[at])) {
        ++at;
      }
      if (at - start < 8) {
        return at == text.size() ? Fit::beginning : Fit::none;
      }
    } else {
      if (conversion == 'd' && at < text.size() && text[at] == '-') {
        ++at;
      }
      const std::size_t digits = at;
      while (at < text.size() && isDigit(text[at])) {
        ++at;
      }
      if (at == digits) {
        return at == text.size() ? Fit::beginning : Fit::none;
      }
    }
    values.push_back(text.substr(start, at - start));
  }
  return at == text.size() ? Fit::whole : Fit::none;
}

std::string cellOf(const LineForm &form, const std::vector<std::string_view> &values) {
  if (values.empty()) {
    return form.fixedCell;
  }
  const bool isText =
      form.format.size() >= 2 && form.format.compare(form.format.size() - 2, 2, "%s") == 0;
  std::string cell;
  for (const std::string_view value : values) {
    if (!cell.empty()) {
      cell += ' ';
    }
    cell += isText ? "\"" + printable(value) + "\"" : printable(value);
  }
  return cell;
}

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

std::string describe(const ExpectedLine &expected) {
  std::string text;
  for (const LineForm &form : expected.forms) {
    text += (text.empty() ? "" : " or ") + quoted(form.format);
  }
  return text;
}

// A report read as one kind: its answers, or where it stops fitting.
struct Reading {
  bool fits = true;
  std::size_t badLine = 0;  // 1-based
  std::string expected;     // what that line should have been
  std::vector<Answer> answers;
};

Reading readAs(ReportKind kind, const ReportText &text) {
  const Shape &shape = shapeOf(kind);
  Reading reading;
  reading.answers.resize(shape.rows.size());
  const auto stop = [&reading](std::size_t line, std::string expected) {
    reading.fits = false;
    reading.badLine = line + 1;
    reading.expected = std::move(expected);
    return reading;
  };
  std::vector<std::string_view> values;
  for (std::size_t n = 0; n < text.lines.size(); ++n) {
    if (n == shape.lines.size()) {
      return stop(n, "the end of the report");
    }
    const ExpectedLine &expected = shape.lines[n];
    const std::string &line = text.lines[n];
    const bool cut = text.lastLineCut && n + 1 == text.lines.size();
    const LineForm *matched = nullptr;
    for (const LineForm &form : expected.forms) {
      const Fit fit = fitLine(line, form.format, values);
      if (fit == Fit::whole || (cut && fit == Fit::beginning)) {
        matched = &form;
        break;
      }
    }
    if (matched == nullptr) {
      return stop(n, describe(expected));
    }
    if (expected.row < 0) {
      continue;
    }
    Answer &answer = reading.answers[static_cast<std::size_t>(expected.row)];
    if (cut) {
      answer.state = AnswerState::cutOff;
      answer.line = line;
    } else if (expected.isAnswer) {
      answer.state = AnswerState::present;
      answer.line = line;
      answer.cell = cellOf(*matched, values);
    }
  }
  if (text.tooLong) {
    return stop(text.lines.size(), "the end of the report (the file goes on past 1 MiB)");
  }
  return reading;
}

using KindSet = unsigned;
constexpr KindSet everyKind = (1U << kindCount) - 1;

KindSet bit(ReportKind kind) { return 1U << static_cast<unsigned>(kind); }

// "varnek1", "varnek2 or varnek2w", "varnek1, varnek2 or varnek2w".
std::string kindNames(KindSet kinds) {
  std::vector<std::string> names;
  for (const ReportKind kind : allKinds) {
    if ((kinds & bit(kind)) != 0) {
      names.emplace_back(kindName(kind));
    }
  }
  std::string text;
  for (std::size_t n = 0; n < names.size(); ++n) {
    text += (n == 0 ? "" : n + 1 == names.size() ? " or " : ", ") + names[n];
  }
  return text;
}

// The reading among `kinds` that got furthest before it stopped fitting.
std::size_t furthestStop(const std::array<Reading, kindCount> &readings, KindSet kinds) {
  std::size_t furthest = 0;
  for (const ReportKind kind : allKinds) {
    const Reading &reading = readings[static_cast<std::size_t>(kind)];
    if ((kinds & bit(kind)) != 0 && !reading.fits && reading.badLine > furthest) {
      furthest = reading.badLine;
    }
  }
  return furthest;
}

std::string notAReport(const std::string &path, const ReportText &text,
                       const std::array<Reading, kindCount> &readings) {
  const std::size_t line = furthestStop(readings, everyKind);
  KindSet kinds = 0;
  std::string expected;
  for (const ReportKind kind : allKinds) {
    const Reading &reading = readings[static_cast<std::size_t>(kind)];
    if (reading.badLine == line) {
      kinds |= bit(kind);
      if (expected.find(reading.expected) == std::string::npos) {
        expected += (expected.empty() ? "" : " or ") + reading.expected;
      }
    }
  }
  const std::string found =
      line <= text.lines.size() ? quoted(printableExcerpt(text.lines[line - 1], 60)) : "more text";
  return path + ": line " + std::to_string(line) + ": not a " + kindNames(kinds) +
         " report: expected " + expected + ", found " + found;
}

}  // namespace

const char *kindName(ReportKind kind) {
  switch (kind) {
    case ReportKind::varnek1:
      return "varnek1";
    case ReportKind::varnek2:
      return "varnek2";
    case ReportKind::varnek2w:
      return "varnek2w";
  }
  return "?";
}

ReportText splitLines(std::string_view bytes) {
  ReportText text;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find('\n', start);
    std::string_view line = bytes.substr(start, end == std::string_view::npos ? end : end - start);
    const bool hasLineEnd = end != std::string_view::npos || line.back() == '\r';
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    text.lines.emplace_back(line);
    text.lastLineCut = !hasLineEnd;
    start = end == std::string_view::npos ? bytes.size() : end + 1;
  }
  if (!text.lastLineCut) {
    while (!text.lines.empty() && text.lines.back().empty()) {
      text.lines.pop_back();
    }
  }
  return text;
}

std::vector<RowLabel> rowLabels(ReportKind kind) { return shapeOf(kind).rows; }

bool readReports(const std::vector<std::string> &paths, const std::vector<ReportText> &texts,
                 ReportKind &kind, std::vector<std::vector<Answer>> &answers, std::string &error) {
  std::vector<std::array<Reading, kindCount>> readings(texts.size());
  KindSet candidates = everyKind;
  std::size_t narrowedBy = 0;
  for (std::size_t r = 0; r < texts.size(); ++r) {
    KindSet fitting = 0;
    for (const ReportKind each : allKinds) {
      Reading &reading = readings[r][static_cast<std::size_t>(each)];
      reading = readAs(each, texts[r]);
      if (reading.fits) {
        fitting |= bit(each);
      }
    }
    if (fitting == 0) {
      error = notAReport(paths[r], texts[r], readings[r]);
      return false;
    }
    if ((fitting & candidates) == 0) {
      error = paths[r] + ": line " + std::to_string(furthestStop(readings[r], candidates)) +
              ": a " + kindNames(fitting) + " report, but " + paths[narrowedBy] + " is a " +
              kindNames(candidates) + " report";
      return false;
    }
    if ((fitting & candidates) != candidates) {
      candidates &= fitting;
      narrowedBy = r;
    }
  }
  for (const ReportKind each : allKinds) {
    if (candidates == bit(each)) {
      kind = each;
      answers.clear();
      for (const auto &reportReadings : readings) {
        answers.push_back(reportReadings[static_cast<std::size_t>(each)].answers);
      }
      return true;
    }
  }
  error = paths[0] + ": line " + std::to_string(texts[0].lines.size() + 1) +
          ": every report ends before it shows which probe wrote it (" + kindNames(candidates) +
          ")";
  return false;
}
