// The comparison as a text table for the terminal and as one HTML page.
#pragma once

#include "comparison.h"

#include <ostream>

void writeTextTable(std::ostream &out, const Comparison &comparison);

// A self-contained page: no scripts, nothing loaded from elsewhere.
void writeHtmlPage(std::ostream &out, const Comparison &comparison);
