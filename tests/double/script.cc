#include "script.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Clause {
  bool byFunction = false;
  std::string function;
  int first = 0;  // probed numbers, or the occurrence of the function
  int last = -1;  // -1: no upper bound
  std::vector<std::string> actions;
};

[[noreturn]] void badScript(const std::string &why, const std::string &text) {
  (void)std::fprintf(stderr, "double: bad script: %s: '%s'\n", why.c_str(), text.c_str());
  std::exit(2);
}

std::string trim(const std::string &text) {
  const std::size_t begin = text.find_first_not_of(" \t\n");
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(" \t\n") - begin + 1);
}

std::vector<std::string> split(const std::string &text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

long long number(const std::string &text, int base = 0) {
  char *end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, base);
  if (text.empty() || *end != '\0') badScript("not a number", text);
  return value;
}

std::uint32_t word(const std::string &text) {
  return static_cast<std::uint32_t>(number(text) & 0xFFFFFFFFLL);
}

int count(const std::string &text) {
  const long long value = number(text, 10);
  if (value < 0 || value > 100000) badScript("not a count", text);
  return static_cast<int>(value);
}

Clause parseClause(const std::string &text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) badScript("no ':' after the selector", text);
  Clause clause;
  const std::string selector = trim(text.substr(0, colon));
  if (selector == "*") {
    clause.first = 0;
  } else if (!selector.empty() && selector[0] >= '0' && selector[0] <= '9') {
    const std::size_t dash = selector.find('-');
    clause.first = count(selector.substr(0, dash));
    clause.last = dash == std::string::npos ? clause.first : count(selector.substr(dash + 1));
  } else {
    clause.byFunction = true;
    const std::size_t hash = selector.find('#');
    clause.function = selector.substr(0, hash);
    if (hash != std::string::npos) clause.first = clause.last = count(selector.substr(hash + 1));
  }
  for (const std::string &action : split(text.substr(colon + 1), ' ')) {
    if (!trim(action).empty()) clause.actions.push_back(trim(action));
  }
  return clause;
}

const std::vector<Clause> &clauses() {
  static const std::vector<Clause> parsed = [] {
    std::vector<Clause> result;
    const char *script = std::getenv("VARNEK_DOUBLE_SCRIPT");
    if (script == nullptr) return result;
    for (const std::string &text : split(script, ';')) {
      if (!trim(text).empty()) result.push_back(parseClause(text));
    }
    return result;
  }();
  return parsed;
}

bool selects(const Clause &clause, const ScriptedCall &call) {
  int number = call.probed;
  if (clause.byFunction) {
    if (clause.function != call.function) return false;
    number = call.occurrence;
  }
  return number >= clause.first && (clause.last < 0 || number <= clause.last);
}

std::vector<unsigned char> hexBytes(const std::string &text) {
  if (text.size() % 2 != 0) badScript("odd number of hex digits", text);
  std::vector<unsigned char> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2)
    bytes.push_back(static_cast<unsigned char>(number(text.substr(i, 2), 16)));
  return bytes;
}

std::vector<std::uint16_t> nameUnits(const std::string &text) {
  std::vector<std::uint16_t> units;
  for (const std::string &item : split(text, ',')) {
    const std::size_t star = item.find('*');
    const auto unit = static_cast<std::uint16_t>(number(item.substr(0, star), 16) & 0xFFFF);
    const int repeat = star == std::string::npos ? 1 : count(item.substr(star + 1));
    units.insert(units.end(), static_cast<std::size_t>(repeat), unit);
  }
  return units;
}

void apply(const std::string &action, CallActions &actions) {
  const std::size_t equals = action.find('=');
  const std::string key = action.substr(0, equals);
  const std::string value = equals == std::string::npos ? "" : action.substr(equals + 1);
  if (key == "mark") {
    actions.mark = true;
  } else if (key == "fault") {
    actions.fault = true;
  } else if (key == "handled-fault") {
    actions.handledFault = true;
  } else if (equals == std::string::npos) {
    badScript("unknown action, or one without its value", action);
  } else if (key == "ret") {
    actions.hasRet = true;
    actions.ret = static_cast<std::int32_t>(word(value));
  } else if (key == "err") {
    actions.hasErr = true;
    actions.err = word(value);
  } else if (key == "lcsSize") {
    actions.hasLcsSize = true;
    actions.lcsSize = word(value);
  } else if (key == "bytes") {
    const std::size_t colon = value.find(':');
    if (colon == std::string::npos) badScript("bytes needs OFFSET:HEX", action);
    actions.writes.push_back({static_cast<std::size_t>(count(value.substr(0, colon))),
                              hexBytes(value.substr(colon + 1))});
  } else if (key == "name") {
    actions.hasName = true;
    actions.name = nameUnits(value);
  } else if (key == "spill") {
    actions.hasSpill = true;
    actions.spill = static_cast<unsigned char>(number(value, 16) & 0xFF);
  } else if (key == "other") {
    actions.otherFault = value;
  } else {
    badScript("unknown action", action);
  }
}

}  // namespace

CallActions script_actions(const ScriptedCall &call) {
  CallActions actions;
  for (const Clause &clause : clauses()) {
    if (!selects(clause, call)) continue;
    for (const std::string &action : clause.actions) apply(action, actions);
  }
  return actions;
}
