#include "Reader.h"

#include "Collection.h"
#include "Streams.h"

#include <cctype>
#include <cstdlib>

namespace {

// --- Text to tokens ------------------------------------------------------

enum class TokenKind { End, Ident, Integer, Float, String, Symbol };

struct Token {
    TokenKind Kind = TokenKind::End;
    std::string Text;  // identifier, symbol, or string in UTF-8
    long long Integer = 0;
    double Float = 0;
    int Line = 1;
};

void AppendUtf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// UTF-8 from the file to the ANSI code page the controls use.
std::string Utf8ToAnsi(const std::string& text)
{
    if (text.empty()) return text;
    int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring w(size_t(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &w[0], wide);
    int bytes = WideCharToMultiByte(CP_ACP, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), wide, &out[0], bytes, nullptr, nullptr);
    return out;
}

class Lexer {
public:
    Lexer(const std::string& text, const std::string& formName) : Text(text), FormName(formName) {}

    Token Next()
    {
        SkipBlanks();
        Token t;
        t.Line = Line;
        if (Pos >= Text.size()) return t;
        char c = Text[Pos];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            t.Kind = TokenKind::Ident;
            while (Pos < Text.size() && (std::isalnum(static_cast<unsigned char>(Text[Pos])) || Text[Pos] == '_' || Text[Pos] == '.'))
                t.Text += Text[Pos++];
            return t;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' ||
            ((c == '-' || c == '+') && Pos + 1 < Text.size() && (std::isdigit(static_cast<unsigned char>(Text[Pos + 1])) || Text[Pos + 1] == '$')))
            return Number(t);
        if (c == '\'' || c == '#') return String(t);
        t.Kind = TokenKind::Symbol;
        t.Text = std::string(1, c);
        ++Pos;
        return t;
    }

    // The hexadecimal digits of a binary value, up to its closing brace.
    std::vector<uint8_t> Binary(int line)
    {
        std::vector<uint8_t> bytes;
        int high = -1;
        for (;;) {
            if (Pos >= Text.size()) Fail(line, "binary value without '}'");
            char c = Text[Pos++];
            if (c == '}') break;
            if (c == '\n') ++Line;
            if (std::isspace(static_cast<unsigned char>(c))) continue;
            int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                        : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                                    : -1;
            if (digit < 0) Fail(Line, std::string("'") + c + "' in binary data");
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(uint8_t(high * 16 + digit));
                high = -1;
            }
        }
        if (high >= 0) Fail(line, "binary data with an odd number of digits");
        return bytes;
    }

    [[noreturn]] void Fail(int line, const std::string& message) const
    {
        throw EReadError("Form " + FormName + ", line " + std::to_string(line) + ": " + message);
    }

private:
    const std::string& Text;
    const std::string& FormName;
    size_t Pos = 0;
    int Line = 1;

    void SkipBlanks()
    {
        while (Pos < Text.size()) {
            char c = Text[Pos];
            if (c == '\n') {
                ++Line;
                ++Pos;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++Pos;
            } else if (c == '/' && Pos + 1 < Text.size() && Text[Pos + 1] == '/') {
                while (Pos < Text.size() && Text[Pos] != '\n') ++Pos;
            } else {
                break;
            }
        }
    }

    Token Number(Token& t)
    {
        size_t start = Pos;
        bool negative = Text[Pos] == '-';
        if (Text[Pos] == '-' || Text[Pos] == '+') ++Pos;
        if (Text[Pos] == '$') {
            ++Pos;
            size_t digits = Pos;
            while (Pos < Text.size() && std::isxdigit(static_cast<unsigned char>(Text[Pos]))) ++Pos;
            if (Pos == digits) Fail(t.Line, "'$' without hexadecimal digits");
            t.Kind = TokenKind::Integer;
            t.Integer = std::strtoll(Text.substr(digits, Pos - digits).c_str(), nullptr, 16);
            if (negative) t.Integer = -t.Integer;
            return t;
        }
        while (Pos < Text.size() && std::isdigit(static_cast<unsigned char>(Text[Pos]))) ++Pos;
        bool isFloat = false;
        if (Pos + 1 < Text.size() && Text[Pos] == '.' && std::isdigit(static_cast<unsigned char>(Text[Pos + 1]))) {
            isFloat = true;
            ++Pos;
            while (Pos < Text.size() && std::isdigit(static_cast<unsigned char>(Text[Pos]))) ++Pos;
        }
        std::string number = Text.substr(start, Pos - start);
        if (isFloat) {
            t.Kind = TokenKind::Float;
            t.Float = std::strtod(number.c_str(), nullptr);
        } else {
            t.Kind = TokenKind::Integer;
            t.Integer = std::strtoll(number.c_str(), nullptr, 10);
        }
        return t;
    }

    // 'text' pieces and #code characters, directly one after another.
    Token String(Token& t)
    {
        t.Kind = TokenKind::String;
        for (;;) {
            if (Pos < Text.size() && Text[Pos] == '\'') {
                ++Pos;
                for (;;) {
                    if (Pos >= Text.size() || Text[Pos] == '\n') Fail(t.Line, "string without its closing quote");
                    if (Text[Pos] == '\'') {
                        if (Pos + 1 < Text.size() && Text[Pos + 1] == '\'') {
                            t.Text += '\'';
                            Pos += 2;
                            continue;
                        }
                        ++Pos;
                        break;
                    }
                    t.Text += Text[Pos++];
                }
            } else if (Pos < Text.size() && Text[Pos] == '#') {
                ++Pos;
                size_t digits = Pos;
                while (Pos < Text.size() && std::isdigit(static_cast<unsigned char>(Text[Pos]))) ++Pos;
                if (Pos == digits) Fail(t.Line, "'#' without a character code");
                AppendUtf8(t.Text, std::strtoul(Text.substr(digits, Pos - digits).c_str(), nullptr, 10));
            } else {
                return t;
            }
        }
    }
};

// --- Tokens to nodes -----------------------------------------------------

class Parser {
public:
    Parser(const std::string& text, const std::string& formName) : Lex(text, formName) { Advance(); }

    TObjectNode Object()
    {
        if (!IsIdent("object")) Lex.Fail(Current.Line, "'object' expected");
        TObjectNode node;
        node.Line = Current.Line;
        Advance();
        node.Name = TakeIdent("component name");
        ExpectSymbol(":");
        node.ClassName = TakeIdent("class name");
        for (;;) {
            if (IsIdent("end")) {
                Advance();
                return node;
            }
            if (IsIdent("object")) {
                node.Children.push_back(Object());
                continue;
            }
            if (Current.Kind == TokenKind::End) Lex.Fail(node.Line, "object " + node.Name + " without 'end'");
            node.Properties.push_back(Property());
        }
    }

    void ExpectEnd()
    {
        if (Current.Kind != TokenKind::End) Lex.Fail(Current.Line, "text after the form's 'end'");
    }

private:
    Lexer Lex;
    Token Current;

    void Advance() { Current = Lex.Next(); }
    bool IsIdent(const char* word) const { return Current.Kind == TokenKind::Ident && SameText(Current.Text, word); }
    bool IsSymbol(const char* s) const { return Current.Kind == TokenKind::Symbol && Current.Text == s; }

    std::string TakeIdent(const char* what)
    {
        if (Current.Kind != TokenKind::Ident) Lex.Fail(Current.Line, std::string(what) + " expected");
        std::string text = Current.Text;
        Advance();
        return text;
    }

    void ExpectSymbol(const char* s)
    {
        if (!IsSymbol(s)) Lex.Fail(Current.Line, std::string("'") + s + "' expected");
        Advance();
    }

    TPropertyNode Property()
    {
        TPropertyNode p;
        p.Line = Current.Line;
        p.Name = TakeIdent("property name");
        ExpectSymbol("=");
        p.Value = Value();
        return p;
    }

    TValueNode Value()
    {
        TValueNode v;
        v.Line = Current.Line;
        switch (Current.Kind) {
        case TokenKind::Integer:
            v.Kind = TValueKind::Integer;
            v.Integer = Current.Integer;
            Advance();
            return v;
        case TokenKind::Float:
            v.Kind = TValueKind::Float;
            v.Float = Current.Float;
            Advance();
            return v;
        case TokenKind::String: {
            v.Kind = TValueKind::String;
            std::string utf8 = Current.Text;
            Advance();
            // 'a' + 'b' continues one string over several lines.
            while (IsSymbol("+")) {
                Advance();
                if (Current.Kind != TokenKind::String) Lex.Fail(Current.Line, "string expected after '+'");
                utf8 += Current.Text;
                Advance();
            }
            v.Text = Utf8ToAnsi(utf8);
            return v;
        }
        case TokenKind::Ident:
            v.Kind = TValueKind::Ident;
            v.Text = Current.Text;
            Advance();
            return v;
        case TokenKind::Symbol:
            if (IsSymbol("[")) return Set(v);
            if (IsSymbol("(")) return List(v);
            if (IsSymbol("<")) return Collection(v);
            if (IsSymbol("{")) {
                v.Kind = TValueKind::Binary;
                v.Bytes = Lex.Binary(v.Line);
                Advance();
                return v;
            }
            break;
        case TokenKind::End:
            break;
        }
        Lex.Fail(Current.Line, "value expected");
    }

    TValueNode Set(TValueNode& v)
    {
        v.Kind = TValueKind::Set;
        Advance();
        while (!IsSymbol("]")) {
            v.Members.push_back(TakeIdent("set member"));
            if (IsSymbol(",")) Advance();
            else if (!IsSymbol("]")) Lex.Fail(Current.Line, "',' or ']' expected");
        }
        Advance();
        return v;
    }

    TValueNode List(TValueNode& v)
    {
        v.Kind = TValueKind::List;
        Advance();
        while (!IsSymbol(")")) {
            if (Current.Kind == TokenKind::End) Lex.Fail(v.Line, "list without ')'");
            v.Items.push_back(Value());
        }
        Advance();
        return v;
    }

    TValueNode Collection(TValueNode& v)
    {
        v.Kind = TValueKind::Collection;
        Advance();
        while (!IsSymbol(">")) {
            if (!IsIdent("item")) Lex.Fail(Current.Line, "'item' expected");
            Advance();
            std::vector<TPropertyNode> item;
            while (!IsIdent("end")) {
                if (Current.Kind == TokenKind::End) Lex.Fail(v.Line, "item without 'end'");
                item.push_back(Property());
            }
            Advance();
            v.CollectionItems.push_back(std::move(item));
        }
        Advance();
        return v;
    }
};

const char* KindName(TValueKind kind)
{
    switch (kind) {
    case TValueKind::Integer: return "a whole number";
    case TValueKind::Float: return "a number";
    case TValueKind::String: return "a string";
    case TValueKind::Ident: return "an identifier";
    case TValueKind::Set: return "a set";
    case TValueKind::List: return "a list";
    case TValueKind::Collection: return "a collection";
    case TValueKind::Binary: return "binary data";
    }
    return "a value";
}

}  // namespace

TObjectNode ParseFormText(const std::string& text, const std::string& formName)
{
    Parser parser(text, formName);
    TObjectNode root = parser.Object();
    parser.ExpectEnd();
    return root;
}

// --- Nodes to components -------------------------------------------------

TReader::TReader(TComponent* root, const std::string& formName, const TFormTable* table)
    : FRoot(root), FFormName(formName), FTable(table)
{
}

void TReader::Fail(const std::string& message) const
{
    throw EReadError("Form " + FFormName + ", line " + std::to_string(FLine) + ": " + message);
}

void TReader::ReadRootComponent(const TObjectNode& node)
{
    FLine = node.Line;
    if (!SameText(node.ClassName, FRoot->ClassName()))
        Fail("the form is a " + std::string(FRoot->ClassName()) + ", not a " + node.ClassName);
    FRoot->SetComponentState(csLoading | csReading);
    FRoot->SetName(node.Name);
    FLoaded.push_back(FRoot);
    ReadProperties(FRoot, node.Properties);
    for (const TObjectNode& child : node.Children) ReadComponent(child, FRoot);
    FRoot->ClearComponentState(csReading);

    for (const Fixup& fixup : FFixups) {
        FLine = fixup.Line;
        TComponent* target = SameText(fixup.Name, FRoot->Name()) ? FRoot : FRoot->FindComponent(fixup.Name);
        if (!target) Fail("no component named " + fixup.Name);
        fixup.Assign(target);
    }
    if (FTable) {
        FLine = node.Line;
        for (const TFormField& field : FTable->Fields)
            if (!FRoot->FindComponent(field.Name)) Fail(std::string("the form has no component ") + field.Name);
    }
    for (TComponent* component : FLoaded) component->Loaded();
}

void TReader::ReadComponent(const TObjectNode& node, TComponent* parent)
{
    FLine = node.Line;
    TComponentFactory factory = FindClass(node.ClassName);
    if (!factory) Fail("unknown class " + node.ClassName);
    TComponent* component = factory(FRoot);
    component->AfterConstruction();
    component->SetComponentState(csLoading | csReading);
    try {
        component->SetName(node.Name);
    } catch (const std::exception& e) {
        Fail(e.what());
    }
    component->SetParentComponent(parent);
    if (FTable) {
        for (const TFormField& field : FTable->Fields)
            if (SameText(field.Name, node.Name) && !field.Assign(FRoot, component))
                Fail(node.Name + " is not of the class its form expects");
    }
    FLoaded.push_back(component);
    ReadProperties(component, node.Properties);
    for (const TObjectNode& child : node.Children) ReadComponent(child, component);
    component->ClearComponentState(csReading);
}

void TReader::ReadProperties(TPersistent* instance, const std::vector<TPropertyNode>& properties)
{
    for (const TPropertyNode& property : properties) ReadOneProperty(instance, property);
}

void TReader::ReadOneProperty(TPersistent* instance, const TPropertyNode& property)
{
    FLine = property.Line;
    FValue = &property.Value;
    // Walk "Font.Name" down to the object that owns "Name".
    TPersistent* target = instance;
    std::string name = property.Name;
    for (size_t dot = name.find('.'); dot != std::string::npos; dot = name.find('.')) {
        std::string part = name.substr(0, dot);
        TPersistent* nested = target->PropertyObject(part);
        if (!nested) Fail("unknown property " + property.Name + " of " + instance->ClassName());
        target = nested;
        name = name.substr(dot + 1);
    }
    FDefined.clear();
    FDefinedBinary.clear();
    target->DefineProperties(this);
    try {
        if (auto it = FDefined.find(name); it != FDefined.end()) {
            it->second(*this);
            return;
        }
        if (auto it = FDefinedBinary.find(name); it != FDefinedBinary.end()) {
            TMemoryStream stream;
            std::vector<uint8_t> bytes = ReadBinary();
            stream.WriteBuffer(bytes.data(), long(bytes.size()));
            stream.SetPosition(0);
            it->second(stream);
            return;
        }
        if (!target->ReadProperty(name, *this))
            Fail("unknown property " + property.Name + " of " + instance->ClassName());
    } catch (const EReadError&) {
        throw;
    } catch (const std::exception& e) {
        Fail(property.Name + ": " + e.what());
    }
}

void TReader::DefineProperty(const std::string& name, std::function<void(TReader&)> read)
{
    FDefined[name] = std::move(read);
}

void TReader::DefineBinaryProperty(const std::string& name, std::function<void(TStream&)> read,
                                   std::function<void(TStream&)>, bool)
{
    FDefinedBinary[name] = std::move(read);
}

const TValueNode& TReader::Expect(TValueKind kind, const char* what) const
{
    if (!FValue) Fail("no value to read");
    if (FValue->Kind != kind) Fail(std::string(what) + " expected, found " + KindName(FValue->Kind));
    return *FValue;
}

int TReader::ReadInteger()
{
    const TValueNode& v = Expect(TValueKind::Integer, "a whole number");
    if (v.Integer < INT_MIN || v.Integer > 0xFFFFFFFFLL) Fail("number out of range");
    return int(v.Integer);
}

double TReader::ReadFloat()
{
    if (FValue && FValue->Kind == TValueKind::Integer) return double(FValue->Integer);
    return Expect(TValueKind::Float, "a number").Float;
}

bool TReader::ReadBool()
{
    std::string ident = ReadIdent();
    if (SameText(ident, "True")) return true;
    if (SameText(ident, "False")) return false;
    Fail("True or False expected, found " + ident);
}

std::string TReader::ReadString()
{
    return Expect(TValueKind::String, "a string").Text;
}

std::string TReader::ReadIdent()
{
    return Expect(TValueKind::Ident, "an identifier").Text;
}

int TReader::ReadEnum(const TEnumNames& names)
{
    std::string ident = ReadIdent();
    for (size_t i = 0; i < names.size(); ++i)
        if (SameText(ident, names[i])) return int(i);
    Fail("unknown value " + ident);
}

unsigned TReader::ReadSet(const TEnumNames& names)
{
    const TValueNode& v = Expect(TValueKind::Set, "a set");
    unsigned bits = 0;
    for (const std::string& member : v.Members) {
        size_t i = 0;
        while (i < names.size() && !SameText(member, names[i])) ++i;
        if (i == names.size()) Fail("unknown set member " + member);
        bits |= 1u << i;
    }
    return bits;
}

std::vector<std::string> TReader::ReadStringList()
{
    const TValueNode& v = Expect(TValueKind::List, "a list of strings");
    std::vector<std::string> lines;
    for (const TValueNode& item : v.Items) {
        if (item.Kind != TValueKind::String) Fail(std::string("a string expected in the list, found ") + KindName(item.Kind));
        lines.push_back(item.Text);
    }
    return lines;
}

std::vector<uint8_t> TReader::ReadBinary()
{
    return Expect(TValueKind::Binary, "binary data").Bytes;
}

void TReader::ReadCollection(TCollection* collection)
{
    const TValueNode& v = Expect(TValueKind::Collection, "a collection");
    collection->BeginUpdate();
    collection->Clear();
    for (const std::vector<TPropertyNode>& item : v.CollectionItems) {
        TCollectionItem* instance = collection->Add();
        ReadProperties(instance, item);
    }
    FValue = &v;
    collection->EndUpdate();
}

TMethod TReader::FindMethod(const std::string& name)
{
    if (FTable) {
        for (const TFormMethod& method : FTable->Methods)
            if (SameText(method.Name, name)) return method.Bind(FRoot);
    }
    Fail("the form has no handler " + name);
}

void ReadFormResource(TComponent* form, const TFormTable* table)
{
    std::string name = form->ClassName();
    TResourceStream stream(GetModuleHandleA(nullptr), name, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    std::string text(reinterpret_cast<const char*>(stream.Memory()), stream.Bytes().size());
    ReadFormText(form, text, table);
}

void ReadFormText(TComponent* form, const std::string& text, const TFormTable* table)
{
    std::string name = form->ClassName();
    TReader reader(form, name, table);
    reader.ReadRootComponent(ParseFormText(text, name));
}
