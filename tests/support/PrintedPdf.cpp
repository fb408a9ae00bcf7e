#include "PrintedPdf.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A Unix path as Wine's drive Z: shows it.
std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Attribute(const std::string& tag, const std::string& name)
{
    const std::string key = name + "=\"";
    size_t at = tag.find(key);
    if (at == std::string::npos) return "";
    at += key.size();
    return tag.substr(at, tag.find('"', at) - at);
}

std::string Unescape(const std::string& text)
{
    static const std::pair<const char*, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&#39;", '\''}};
    std::string result;
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&')
            for (const auto& e : entities)
                if (text.compare(i, std::char_traits<char>::length(e.first), e.first) == 0) {
                    result += e.second;
                    i += std::char_traits<char>::length(e.first);
                    replaced = true;
                    break;
                }
        if (!replaced) result += text[i++];
    }
    return result;
}

// pdfinfo's report, a separator line, then pdftotext's words with boxes.
bool Parse(const std::string& report, TPrintedPdf& pdf, std::string& error)
{
    const std::string separator = "\n@@@words\n";
    size_t split = report.find(separator);
    if (split == std::string::npos) {
        error = "unreadable report: " + report.substr(0, 200);
        return false;
    }
    std::istringstream info(report.substr(0, split));
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("Pages:", 0) == 0) pdf.Pages = std::atoi(line.c_str() + 6);
        if (line.rfind("Title:", 0) == 0) {
            size_t start = line.find_first_not_of(' ', 6);
            pdf.Title = start == std::string::npos ? "" : line.substr(start);
        }
        if (line.rfind("Page size:", 0) == 0) std::sscanf(line.c_str() + 10, "%lf x %lf", &pdf.PageWidth, &pdf.PageHeight);
    }
    const std::string words = report.substr(split + separator.size());
    int page = 0;
    for (size_t at = words.find('<'); at != std::string::npos; at = words.find('<', at + 1)) {
        size_t end = words.find('>', at);
        if (end == std::string::npos) break;
        const std::string tag = words.substr(at, end - at + 1);
        if (tag.rfind("<page ", 0) == 0) {
            ++page;
        } else if (tag.rfind("<word ", 0) == 0) {
            size_t close = words.find("</word>", end);
            if (close == std::string::npos) break;
            TPdfWord word;
            word.Page = page;
            word.X0 = std::atof(Attribute(tag, "xMin").c_str());
            word.Y0 = std::atof(Attribute(tag, "yMin").c_str());
            word.X1 = std::atof(Attribute(tag, "xMax").c_str());
            word.Y1 = std::atof(Attribute(tag, "yMax").c_str());
            word.Text = Unescape(words.substr(end + 1, close - end - 1));
            pdf.Words.push_back(word);
        }
    }
    if (pdf.Pages <= 0 || pdf.Pages != page) {
        error = "pdfinfo counts " + std::to_string(pdf.Pages) + " pages, pdftotext " + std::to_string(page);
        return false;
    }
    return true;
}

bool SameLine(const TPdfWord& a, const TPdfWord& b)
{
    return a.Page == b.Page && std::fabs(a.CentreY() - b.CentreY()) < 0.4 * std::max(a.Y1 - a.Y0, b.Y1 - b.Y0);
}

}  // namespace

std::vector<TPdfWord> TPrintedPdf::Find(const std::string& phrase, int page) const
{
    std::vector<std::string> parts;
    std::istringstream in(phrase);
    for (std::string part; in >> part;) parts.push_back(part);
    std::vector<TPdfWord> found;
    if (parts.empty()) return found;
    for (const TPdfWord& first : Words) {
        if ((page && first.Page != page) || first.Text != parts[0]) continue;
        TPdfWord box = first;
        const TPdfWord* last = &first;
        bool all = true;
        for (size_t i = 1; i < parts.size() && all; ++i) {
            // The next word: on the same line, the nearest one to the right.
            const TPdfWord* next = nullptr;
            for (const TPdfWord& w : Words)
                if (SameLine(w, *last) && w.X0 > last->X0 && (!next || w.X0 < next->X0)) next = &w;
            all = next && next->Text == parts[i] && next->X0 - last->X1 < 2 * (last->Y1 - last->Y0);
            if (all) {
                box.X1 = next->X1;
                box.Y0 = std::min(box.Y0, next->Y0);
                box.Y1 = std::max(box.Y1, next->Y1);
            }
            last = next;
        }
        if (!all) continue;
        box.Text = phrase;
        found.push_back(box);
    }
    return found;
}

std::vector<TPdfLine> TPrintedPdf::Lines(int page, double left, double top, double right, double bottom) const
{
    std::vector<const TPdfWord*> inside;
    for (const TPdfWord& w : Words)
        if (w.Page == page && w.CentreX() >= left && w.CentreX() <= right && w.CentreY() >= top && w.CentreY() <= bottom)
            inside.push_back(&w);
    std::sort(inside.begin(), inside.end(), [](const TPdfWord* a, const TPdfWord* b) { return a->CentreY() < b->CentreY(); });
    std::vector<TPdfLine> lines;
    for (const TPdfWord* w : inside) {
        if (lines.empty() || !SameLine(*lines.back().front(), *w)) lines.emplace_back();
        lines.back().push_back(w);
    }
    for (TPdfLine& line : lines)
        std::sort(line.begin(), line.end(), [](const TPdfWord* a, const TPdfWord* b) { return a->X0 < b->X0; });
    return lines;
}

std::string TPrintedPdf::Join(const TPdfLine& line)
{
    std::string text;
    for (const TPdfWord* w : line) text += (text.empty() ? "" : " ") + w->Text;
    return text;
}

std::string PrintOutputFolder()
{
    return Env("GANTREL_PRINT_OUT");
}

std::vector<std::string> TestPrinters()
{
    std::vector<std::string> names;
    std::istringstream in(Env("GANTREL_PRINTERS"));
    for (std::string name; in >> name;) names.push_back(name);
    return names;
}

bool PrintServerKnown()
{
    return std::getenv("GANTREL_PRINTERS") != nullptr;
}

std::set<std::string> PrintedJobs()
{
    std::set<std::string> jobs;
    const std::string folder = PrintOutputFolder();
    if (folder.empty()) return jobs;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((WindowsPath(folder) + "\\job-*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return jobs;
    do {
        std::string name = data.cFileName;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".pdf") == 0) jobs.insert(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return jobs;
}

bool WaitForPrintedJob(const std::set<std::string>& before, TPrintedPdf& pdf, std::string& error, int ms,
                       const std::function<void()>& idle)
{
    pdf = TPrintedPdf();
    const std::string folder = PrintOutputFolder();
    if (folder.empty()) {
        error = "no print server runs (GANTREL_PRINT_OUT is not set)";
        return false;
    }
    const DWORD start = GetTickCount();
    auto timeLeft = [&] { return int(GetTickCount() - start) < ms; };
    std::string job;
    while (job.empty()) {
        for (const std::string& name : PrintedJobs())
            if (!before.count(name)) job = name;
        if (!job.empty()) break;
        if (!timeLeft()) {
            error = "no new job in " + folder + " after " + std::to_string(ms) + " ms";
            return false;
        }
        idle();
        Sleep(20);
    }
    // The report appears under its name only when both programs are done.
    const std::string pdfPath = folder + "/" + job;
    const std::string report = folder + "/read-" + job + ".txt";
    const std::string command = "/bin/sh -c \"{ pdfinfo '" + pdfPath + "' && echo @@@words && pdftotext -bbox '" +
                                pdfPath + "' - ; } > '" + report + ".part' 2>&1; mv '" + report + ".part' '" + report +
                                "'\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        error = "cannot start /bin/sh (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // Wine runs a Unix program outside its own processes: its handle
    // cannot be waited for, its report file can.
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    const std::string reportPath = WindowsPath(report);
    while (!FileExists(reportPath)) {
        if (!timeLeft()) {
            error = "pdfinfo and pdftotext did not read " + pdfPath;
            return false;
        }
        idle();
        Sleep(20);
    }
    return Parse(ReadAll(reportPath), pdf, error) || (error += " (" + pdfPath + ")", false);
}
