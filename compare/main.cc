// varnek-compare: reports of one probe, run on several systems, side by side.
// One row per case (varnek1) or line (varnek2), one column per report, and
// the rows where the reports differ marked.
#include "comparison.h"
#include "output.h"
#include "printable.h"
#include "report.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int allAgree = 0;
constexpr int someDiffer = 1;
constexpr int badUse = 2;

const char *const usage =
    "usage: varnek-compare [--html FILE] REPORT REPORT...\n"
    "Shows reports of one probe (varnek1, varnek2 or varnek2w) side by side, one column\n"
    "per report, and marks the rows where they differ.\n"
    "  --html FILE  also write the comparison as one self-contained HTML page\n"
    "Exit status: 0 all agree, 1 some rows differ, 2 bad use or a file that is not a report.\n";

int fail(const std::string &message) {
  std::cerr << "varnek-compare: " << message << '\n';
  return badUse;
}

int failUse(const std::string &message) {
  std::cerr << "varnek-compare: " << message << '\n' << usage;
  return badUse;
}

std::string reason() {
  return errno != 0 ? ": " + std::generic_category().message(errno) : std::string();
}

// Reads at most reportSizeLimit bytes; false when the file cannot be read.
bool readFile(const std::string &path, std::string &bytes, bool &tooLong, std::string &why) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = "cannot be opened" + reason();
    return false;
  }
  bytes.resize(reportSizeLimit + 1);
  in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) {
    why = "cannot be read" + reason();
    return false;
  }
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  tooLong = bytes.size() > reportSizeLimit;
  if (tooLong) {
    bytes.resize(reportSizeLimit);
  }
  return true;
}

// On failure a file this run created is removed; one that was there before
// (a device, say) is left alone.
bool writeHtmlFile(const std::string &path, const Comparison &comparison) {
  std::ostringstream page;
  writeHtmlPage(page, comparison);
  const std::string text = page.str();
  const bool existed = std::ifstream(path).is_open();
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
  }
  if (!out) {
    const int writeError = errno;
    if (!existed) {
      std::remove(path.c_str());
    }
    errno = writeError;
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  std::string htmlPath;
  bool wantsHtml = false;
  bool optionsEnded = false;
  std::vector<std::string> paths;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      paths.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      std::cout << usage;
      return allAgree;
    } else if (arg == "--html") {
      if (a + 1 == argc) {
        return failUse("--html needs a file name");
      }
      if (wantsHtml) {
        return failUse("--html given twice");
      }
      wantsHtml = true;
      htmlPath = argv[++a];
    } else {
      return failUse("unknown option " + printable(arg));
    }
  }
  if (paths.size() < 2) {
    return failUse("give two or more reports");
  }

  std::vector<std::string> shownPaths;
  std::vector<ReportText> texts;
  for (const std::string &path : paths) {
    shownPaths.push_back(printable(path));
    std::string bytes;
    bool tooLong = false;
    std::string why;
    if (!readFile(path, bytes, tooLong, why)) {
      return fail(shownPaths.back() + ": " + why);
    }
    texts.push_back(splitLines(bytes));
    texts.back().tooLong = tooLong;
  }

  ReportKind kind{};
  std::vector<std::vector<Answer>> answers;
  std::string error;
  if (!readReports(shownPaths, texts, kind, answers, error)) {
    return fail(error);
  }
  const Comparison comparison = compareReports(kind, paths, std::move(answers));
  if (wantsHtml && !writeHtmlFile(htmlPath, comparison)) {
    return fail(printable(htmlPath) + ": cannot write the HTML page" + reason());
  }
  writeTextTable(std::cout, comparison);
  std::cout.flush();
  return comparison.differing > 0 ? someDiffer : allAgree;
}
