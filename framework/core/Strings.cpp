#include "Strings.h"

#include "Component.h"
#include "Reader.h"

void TStrings::CheckIndex(int index, int limit) const
{
    if (index < 0 || index >= limit) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TStrings::Put(int index, const std::string& text)
{
    TObject* object = GetObject(index);
    Delete(index);
    Insert(index, text);
    PutObject(index, object);
}

TObject* TStrings::GetObject(int index) const
{
    (void)index;
    return nullptr;
}

void TStrings::PutObject(int index, TObject* object)
{
    (void)index;
    (void)object;
}

int TStrings::Add(const std::string& text)
{
    int index = Count();
    Insert(index, text);
    return index;
}

int TStrings::AddObject(const std::string& text, TObject* object)
{
    int index = Add(text);
    PutObject(index, object);
    return index;
}

void TStrings::AddStrings(TStrings* strings)
{
    BeginUpdate();
    for (int i = 0; i < strings->Count(); ++i) AddObject(strings->Get(i), strings->GetObject(i));
    EndUpdate();
}

int TStrings::IndexOf(const std::string& text) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(Get(i), text)) return i;
    return -1;
}

std::string TStrings::Text() const
{
    std::string text;
    for (int i = 0; i < Count(); ++i) text += Get(i) + "\r\n";
    return text;
}

void TStrings::SetText(const std::string& text)
{
    BeginUpdate();
    Clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            Add(text.substr(start));
            break;
        }
        Add(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    EndUpdate();
}

std::string TStrings::CommaText() const
{
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        if (i) text += ',';
        std::string s = Get(i);
        if (s.find_first_of(" ,\"") != std::string::npos) {
            std::string quoted = "\"";
            for (char c : s) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            s = quoted + "\"";
        }
        text += s;
    }
    return text;
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Assign(TPersistent* source)
{
    if (auto* strings = dynamic_cast<TStrings*>(source)) {
        if (strings == this) return;
        BeginUpdate();
        Clear();
        AddStrings(strings);
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

bool TStrings::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Strings") {
        std::vector<std::string> lines = reader.ReadStringList();
        BeginUpdate();
        Clear();
        for (const std::string& line : lines) Add(line);
        EndUpdate();
        return true;
    }
    return TPersistent::ReadProperty(name, reader);
}

std::string TStringList::Get(int index) const
{
    CheckIndex(index, Count());
    return FItems[size_t(index)].first;
}

void TStringList::Put(int index, const std::string& text)
{
    CheckIndex(index, Count());
    Changing();
    FItems[size_t(index)].first = text;
    Changed();
}

TObject* TStringList::GetObject(int index) const
{
    CheckIndex(index, Count());
    return FItems[size_t(index)].second;
}

void TStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index, Count());
    FItems[size_t(index)].second = object;
}

void TStringList::Insert(int index, const std::string& text)
{
    CheckIndex(index, Count() + 1);
    Changing();
    FItems.insert(FItems.begin() + index, {text, nullptr});
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index, Count());
    Changing();
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty()) return;
    Changing();
    FItems.clear();
    Changed();
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating)
        Changing();
    else
        Changed();
}

void TStringList::Changing()
{
    if (!Updating() && OnChanging) OnChanging(this);
}

void TStringList::Changed()
{
    if (!Updating() && OnChange) OnChange(this);
}
