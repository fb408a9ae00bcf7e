#include "TransferFixture.h"

#include "ModalScript.h"

#include "Form14.h"
#include "Form8.h"

#include <cmath>
#include <sstream>

namespace {

double Sgn(int v) { return v > 0 ? 1.0 : v < 0 ? -1.0 : 0.0; }

// Half away from zero, the sign taken from the test the kinds name.
int RoundAway(double x, bool positive) { return int(positive ? std::trunc(x + 0.5) : std::trunc(x - 0.5)); }

void PutWord(std::string& bytes, int32_t v)
{
    for (int i = 0; i < 4; ++i) bytes += char(uint32_t(v) >> (8 * i));
}

int32_t GetWord(const std::string& bytes, size_t index)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(bytes[index * 4 + size_t(i)])) << (8 * i);
    return int32_t(v);
}

}  // namespace

int RefPack(TRefKind kind, int v, int s)
{
    if (v == 0) return 128;
    const double half = 0.5 * Sgn(v);
    switch (kind) {
    case TRefKind::Aap: return int(v * 2.56f + half) + 128;
    case TRefKind::Tp: return int(double(v) * 127 / (s ? s : 1) + 128 + half);
    case TRefKind::Mp: return int(v * 1.016f + half) + 128;
    case TRefKind::Ignition: return int(double(v) * 128 / 11.25 + half + 128);
    case TRefKind::At: return int(v * 1.16f + half) + 128;
    case TRefKind::Fuel: return int(double(v) * 2 * 0.01 * 128 + half) + 128;
    case TRefKind::IgnitionB: return int(double(v) * 128 / 22.5 + half + 128);
    case TRefKind::FuelB: return v + 128;
    }
    return 128;
}

int RefDisplay(TRefKind kind, int b, int s)
{
    const int d = b - 128;
    const bool up = b > 128;
    switch (kind) {
    case TRefKind::Aap: return RoundAway(d * 0.390625, up);
    case TRefKind::Tp: return RoundAway(double(d) * s / 127, up);
    case TRefKind::Mp: return RoundAway(d * 0.9842519371, up);
    case TRefKind::Ignition: return RoundAway(d * 11.25 / 128, up);
    case TRefKind::At: return RoundAway(d * 25 / 29.0, up);
    case TRefKind::Fuel: return RoundAway(d / 128.0 * 100 * 0.5, up);
    case TRefKind::IgnitionB: return RoundAway(d * 22.5 / 128, up);
    case TRefKind::FuelB: return d;
    }
    return 0;
}

std::vector<TGeneration> Generations()
{
    using K = TRefKind;
    // Throttle spans: 6375 / (open - closed) of each unit's calibration.
    std::vector<TGeneration> all = {
        {0, 202, 1110, {K::FuelB, K::FuelB}, {0, 1}, 500, 0, 25},
        {1, 201, 2105, {K::Fuel, K::IgnitionB}, {0, 1}, 500, 0, 25},
        {2, 201, 2112, {K::FuelB, K::IgnitionB}, {0, 3}, 500, 0, 25},
        {49, 201, 1000, {K::Aap, K::Tp, K::At, K::Ignition}, {1, 0, 3, 2}, 250, 1000, 6375 / (246 - 26)},
        {50, 201, 1001, {K::Aap, K::Tp, K::Mp, K::Ignition}, {1, 0, 2, 3}, 500, 4000, 6375 / (213 - 56)},
        {51, 201, 1002, {K::Aap, K::Tp, K::Mp, K::Ignition}, {1, 0, 2, 3}, 500, 4000, 6375 / (216 - 58)},
        {52, 201, 1003, {K::Aap, K::Tp, K::Mp, K::Ignition}, {1, 0, 2, 3}, 500, 2000, 6375 / (229 - 26)},
        {53, 201, 1008, {K::Aap, K::Tp, K::Mp, K::Ignition}, {1, 0, 2, 3}, 500, 2000, 6375 / (229 - 26)},
        {54, 201, 1009, {K::Aap, K::Tp, K::Mp, K::Ignition}, {1, 0, 2, 3}, 500, 2500, 6375 / (219 - 60)},
    };
    for (int v = 100; v <= 106; ++v)
        all.push_back({v, 201, 2000 + v, {v < 106 ? K::Fuel : K::FuelB, K::IgnitionB}, {0, 1}, 500, 0, 25});
    return all;
}

std::string GenerationName(const TGeneration& g)
{
    return "Version" + std::to_string(g.Version);
}

std::vector<int> TTestMap::Rpm() const
{
    std::vector<int> rpm;
    for (int r = 0; r < Rows; ++r) rpm.push_back(Unit.Step * (r + 1));
    return rpm;
}

int TTestMap::Value(int t, int r, int c, int seed) const
{
    if (Unit.Kinds[size_t(t)] == TRefKind::Ignition && Rpm()[size_t(r)] < Unit.IgnitionFloor) return 0;
    return (t + 2 * r + 3 * c + seed) % 9 - 4;
}

std::string TTestMap::Bytes(int seed) const
{
    const int tables = int(Unit.Kinds.size());
    const std::string notes = "transfer test";
    std::string bytes;
    const int columns = 9;
    const int32_t header[13] = {Unit.Format, tables, Rows, columns, 12, 1, O2Word, 0x04030201, 0, 0, Unit.Code,
                                int32_t(notes.size()), 4 * (13 + columns + Rows * (1 + tables * columns))};
    for (int32_t w : header) PutWord(bytes, w);
    for (int t : Throttle()) PutWord(bytes, t);
    for (int r = 0; r < Rows; ++r) {
        PutWord(bytes, Rpm()[size_t(r)]);
        for (int t = 0; t < tables; ++t)
            for (int c = 0; c < columns; ++c) PutWord(bytes, Value(t, r, c, seed));
    }
    return bytes + notes;
}

std::vector<uint8_t> TTestMap::Packed(int t, int seed) const
{
    // Row r lands on cell 31 - r; the cells above the last row keep its value.
    const TRefKind kind = Unit.Kinds[size_t(t)];
    std::vector<uint8_t> table(288);
    for (int c = 0; c < 9; ++c) {
        for (int r = 0; r < Rows; ++r)
            table[size_t(c * 32 + 31 - r)] = uint8_t(RefPack(kind, Value(t, r, c, seed), Unit.TpSpan));
        for (int k = 0; k < 32 - Rows; ++k)
            table[size_t(c * 32 + k)] = uint8_t(RefPack(kind, Value(t, Rows - 1, c, seed), Unit.TpSpan));
    }
    return table;
}

bool ReadSavedMap(const std::string& path, TSavedMap& map)
{
    std::string bytes = ReadFileBytes(path);
    if (bytes.size() < 52) return false;
    const int tables = GetWord(bytes, 1), rows = GetWord(bytes, 2), columns = GetWord(bytes, 3);
    if (tables < 1 || tables > 6 || rows < 1 || rows > 64 || columns < 1 || columns > 64) return false;
    if (bytes.size() < size_t(4 * (13 + columns + rows * (1 + tables * columns)))) return false;
    map.Format = GetWord(bytes, 0);
    map.O2 = GetWord(bytes, 6);
    map.Code = GetWord(bytes, 10);
    map.Rpm.clear();
    map.Cells.assign(size_t(tables), std::vector<std::vector<int>>(size_t(rows), std::vector<int>(size_t(columns))));
    size_t at = size_t(13 + columns);
    for (int r = 0; r < rows; ++r) {
        map.Rpm.push_back(GetWord(bytes, at++));
        for (int t = 0; t < tables; ++t)
            for (int c = 0; c < columns; ++c) map.Cells[size_t(t)][size_t(r)][size_t(c)] = GetWord(bytes, at++);
    }
    return true;
}

TransferTest* TransferTest::Current = nullptr;

void TransferTest::SetUp()
{
    MainWindowTest::SetUp();
    Current = this;
}

void TransferTest::TearDown()
{
    if (AnswerTimer) KillTimer(nullptr, AnswerTimer);
    AnswerTimer = 0;
    StopPaintLog();
    Current = nullptr;
    MainWindowTest::TearDown();
}

void TransferTest::Unit(int version, int flags, bool paced)
{
    Com1.Ok("reset");
    Com1.Ok("version " + std::to_string(version));
    Com1.Ok("flags " + std::to_string(flags));
    Com1.Ok(paced ? "pace on" : "pace off");
    Com1.Ok("clear");
}

bool TransferTest::LoadMap(const std::string& bytes)
{
    std::string path = TempFile("transfer.map");
    WriteFileBytes(path, bytes);
    return Load(path);
}

bool TransferTest::Prepare(const TTestMap& map, int flags, int seed)
{
    const TGeneration& unit = map.Unit;
    Unit(unit.Version, flags);
    if (!LoadMap(map.Bytes(seed))) return false;
    // Advanced mode shows the single-table commands beside the all-table ones.
    if (!Form()->Advanced1->Checked()) ChooseMenu(Form()->Advanced1);
    if (!ConnectCom1()) return false;
    if (!WaitUntil([&] { return Form()->Config.ControllerVersion == unit.Version; }, 8000)) return false;
    Com1.Ok("clear");
    return true;
}

void TransferTest::Click(TButton* button)
{
    EXPECT_TRUE(button->Visible() && button->Enabled()) << button->Name() << " cannot be clicked";
    PostMessageA(button->Handle(), BM_CLICK, 0, 0);
    Pump(50);
}

void TransferTest::ClickO2Label()
{
    TLabel* label = Form()->epLabelButton1;
    ASSERT_TRUE(label->Visible());
    HWND parent = label->Parent()->Handle();
    LPARAM at = MAKELPARAM(label->Left() + label->Width() / 2, label->Top() + label->Height() / 2);
    PostMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(parent, WM_LBUTTONUP, 0, at);
    Pump(50);
}

std::vector<std::pair<int, std::string>> TransferTest::Writes()
{
    std::vector<std::pair<int, std::string>> writes;
    std::istringstream words(Com1.Ok("writes"));
    std::string word;
    while (words >> word) {
        size_t colon = word.find(':');
        if (colon == std::string::npos) continue;
        writes.emplace_back(std::stoi(word.substr(0, colon)), FromHex(word.substr(colon + 1)));
    }
    return writes;
}

std::string TransferTest::SimTable(int n) { return FromHex(Com1.Ok("table " + std::to_string(n))); }
std::string TransferTest::SimBlock(int n) { return FromHex(Com1.Ok("block " + std::to_string(n))); }

void TransferTest::SetSimTable(int n, const std::vector<uint8_t>& bytes)
{
    Com1.Ok("table " + std::to_string(n) + " " + ToHex(bytes.data(), int(bytes.size())));
}

void TransferTest::SetSimBlock(int n, const std::vector<uint8_t>& bytes)
{
    Com1.Ok("block " + std::to_string(n) + " " + ToHex(bytes.data(), int(bytes.size())));
}

void TransferTest::AnswerPosition(int position, bool ok)
{
    AnswerKind = 1;
    Answering = false;
    AnswerIndex = position;
    AnswerOk = ok;
    if (!AnswerTimer) AnswerTimer = SetTimer(nullptr, 0, 50, AnswerTick);
}

void TransferTest::AnswerO2(int index, bool ok)
{
    AnswerKind = 2;
    Answering = false;
    AnswerIndex = index;
    AnswerOk = ok;
    if (!AnswerTimer) AnswerTimer = SetTimer(nullptr, 0, 50, AnswerTick);
}

void CALLBACK TransferTest::AnswerTick(HWND, UINT, UINT_PTR, DWORD)
{
    TransferTest* test = Current;
    if (!test) return;
    TForm* dialog = test->AnswerKind == 1 ? static_cast<TForm*>(Form14) : static_cast<TForm*>(Form8);
    if (!dialog || !dialog->HandleAllocated() || !IsWindowVisible(dialog->Handle())) {
        test->Answering = false;
        return;
    }
    // Clicks already on their way to this showing of the dialog.
    if (test->Answering) return;
    test->Answering = true;
    TWinControl* choice;
    TWinControl* close;
    if (test->AnswerKind == 1) {
        if (++test->PositionDialogs == 1) TModalScript::KeepPicture(Form14, "position-dialog.bmp");
        test->PositionCaptions = {Form14->Caption(), Form14->EpRadioButton1->Caption(),
                                  Form14->EpRadioButton2->Caption(), Form14->EpRadioButton3->Caption()};
        TEpRadioButton* buttons[3] = {Form14->EpRadioButton1, Form14->EpRadioButton2, Form14->EpRadioButton3};
        choice = buttons[test->AnswerIndex - 1];
        close = test->AnswerOk ? Form14->EpButton2 : Form14->EpButton1;
    } else {
        ++test->O2Dialogs;
        choice = Form8->RadioGroup1->Buttons(test->AnswerIndex);
        close = test->AnswerOk ? Form8->BitBtn1 : Form8->BitBtn2;
    }
    if (test->AnswerKind == 1) {
        // The skinned radio buttons and buttons take the mouse.
        TModalScript::Click(choice);
        TModalScript::Click(close);
    } else {
        PostMessageA(choice->Handle(), BM_CLICK, 0, 0);
        PostMessageA(close->Handle(), BM_CLICK, 0, 0);
    }
}

bool TransferTest::WasPainted(const std::string& text) const
{
    for (const std::string& p : Painted)
        if (p == text) return true;
    return false;
}

void TransferTest::NotePaint(HWND window, UINT message)
{
    if (message != WM_PAINT || !Form()) return;
    TWinControl* parent = Form()->Label1->Parent();
    if (!parent || !parent->HandleAllocated() || window != parent->Handle()) return;
    std::string text = Form()->Label1->Caption();
    if (Painted.empty() || Painted.back() != text) Painted.push_back(text);
}

LRESULT CALLBACK TransferTest::PaintHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && Current) {
        auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
        Current->NotePaint(sent->hwnd, sent->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK TransferTest::QueueHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && Current && wParam == PM_REMOVE) {
        auto* queued = reinterpret_cast<MSG*>(lParam);
        Current->NotePaint(queued->hwnd, queued->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TransferTest::StartPaintLog()
{
    Painted.clear();
    PaintHookHandle = SetWindowsHookExA(WH_CALLWNDPROC, PaintHook, nullptr, GetCurrentThreadId());
    QueueHookHandle = SetWindowsHookExA(WH_GETMESSAGE, QueueHook, nullptr, GetCurrentThreadId());
}

void TransferTest::StopPaintLog()
{
    if (PaintHookHandle) UnhookWindowsHookEx(PaintHookHandle);
    if (QueueHookHandle) UnhookWindowsHookEx(QueueHookHandle);
    PaintHookHandle = QueueHookHandle = nullptr;
}
