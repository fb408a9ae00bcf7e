// Reading back what the tests' print server printed. Each job of its PDF
// queues becomes job-<id>.pdf in the folder GANTREL_PRINT_OUT names (a
// Unix path); poppler's pdfinfo and pdftotext, Unix programs that Wine
// starts like its own, turn it into the page count, the page size and
// every word with its box (points, origin at the top left of the page).
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

struct TPdfWord {
    int Page = 0;  // 1-based
    double X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    std::string Text;
    double CentreX() const { return (X0 + X1) / 2; }
    double CentreY() const { return (Y0 + Y1) / 2; }
};

using TPdfLine = std::vector<const TPdfWord*>;  // left to right

struct TPrintedPdf {
    int Pages = 0;
    double PageWidth = 0, PageHeight = 0;
    std::string Title;
    std::vector<TPdfWord> Words;

    // Where the words of phrase stand in a row on one line of the page (0:
    // any page): one box around the whole phrase for each such place.
    std::vector<TPdfWord> Find(const std::string& phrase, int page = 0) const;
    bool Has(const std::string& phrase, int page = 0) const { return !Find(phrase, page).empty(); }
    // The words of a page whose centres lie in the box, as lines from top to bottom.
    std::vector<TPdfLine> Lines(int page, double left, double top, double right, double bottom) const;
    // The texts of a line, joined by single blanks.
    static std::string Join(const TPdfLine& line);
};

// The print server's output folder (Unix path); empty when none runs.
std::string PrintOutputFolder();
// The queues the print server offers (GANTREL_PRINTERS); empty when none runs.
std::vector<std::string> TestPrinters();
// Whether the test scripts told the test where it runs (GANTREL_PRINTERS set).
bool PrintServerKnown();
// The jobs printed so far.
std::set<std::string> PrintedJobs();
// Waits up to ms, calling idle between looks, for a job that is not in
// before, and reads it. False, with the reason in error, when none came or
// it could not be read.
bool WaitForPrintedJob(const std::set<std::string>& before, TPrintedPdf& pdf, std::string& error, int ms,
                       const std::function<void()>& idle);
