// Form resources: a readable text that names the components of a form,
// their classes and their published properties, compiled into the
// executable and read when the form is constructed.
//
//   object Form1: TForm1              // the form itself
//     Caption = 'Gantrel Control Center'
//     Font.Name = 'Arial'             // nested properties
//     Anchors = [akLeft, akTop]       // sets
//     Color = clBtnFace               // identifiers: enums, colours, handlers,
//     OnCreate = FormCreate           //   references to other components
//     object Panel1: TPanel           // a child: created, named, placed
//       Lines.Strings = ('one' 'two') // string lists
//       Panels = < item Width = 50 end >   // collections
//       Picture.Data = { 424D... }    // binary data
//     end
//   end
//
// Strings are UTF-8 in the file ('' is a quote; #13 a character by code)
// and reach the program in its ANSI code page. Anything the reader cannot
// place (unknown class, property or handler, or a value of the wrong kind)
// is an EReadError naming the form and the line.
#pragma once

#include "Component.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class TCollection;
class TStream;

enum class TValueKind { Integer, Float, String, Ident, Set, List, Collection, Binary };

struct TPropertyNode;

struct TValueNode {
    TValueKind Kind = TValueKind::Integer;
    int Line = 0;
    long long Integer = 0;
    double Float = 0;
    std::string Text;                     // a string (ANSI) or an identifier
    std::vector<std::string> Members;     // of a set
    std::vector<TValueNode> Items;        // of a list
    std::vector<std::vector<TPropertyNode>> CollectionItems;
    std::vector<uint8_t> Bytes;
};

struct TPropertyNode {
    std::string Name;  // may be dotted: "Font.Name"
    TValueNode Value;
    int Line = 0;
};

struct TObjectNode {
    std::string Name;
    std::string ClassName;
    int Line = 0;
    std::vector<TPropertyNode> Properties;
    std::vector<TObjectNode> Children;
};

// Parses a whole form text; formName appears in error messages.
TObjectNode ParseFormText(const std::string& text, const std::string& formName);

// Names of the values of an enumeration or set, in value order.
using TEnumNames = std::vector<const char*>;

// Forms publish their component fields and handlers through a table, so
// that the reader can fill the fields and bind handlers by name.
struct TFormField {
    const char* Name;
    std::function<bool(TComponent* form, TComponent* component)> Assign;  // false: wrong class
};
struct TFormMethod {
    const char* Name;
    std::function<TMethod(TComponent* form)> Bind;
};
struct TFormTable {
    std::vector<TFormField> Fields;
    std::vector<TFormMethod> Methods;
};

// Custom-format properties a class defines for itself. A reader calls
// read with the property's value; a writer (Writer.h) calls write when
// hasData says there is something to store.
class TFiler {
public:
    virtual ~TFiler() = default;
    virtual void DefineProperty(const std::string& name, std::function<void(TReader&)> read) = 0;
    virtual void DefineBinaryProperty(const std::string& name, std::function<void(TStream&)> read,
                                      std::function<void(TStream&)> write = nullptr, bool hasData = false) = 0;
};

// Reads a parsed form into an existing root component and the components
// it creates. ReadProperty implementations take their value through the
// Read... functions, which check its kind.
class TReader : public TFiler {
public:
    TReader(TComponent* root, const std::string& formName, const struct TFormTable* table = nullptr);

    void ReadRootComponent(const TObjectNode& node);

    TComponent* Root() const { return FRoot; }
    const std::string& FormName() const { return FFormName; }
    const TValueNode& Value() const { return *FValue; }

    int ReadInteger();
    double ReadFloat();  // an integer is a float too
    bool ReadBool();
    std::string ReadString();
    std::string ReadIdent();
    int ReadEnum(const TEnumNames& names);
    unsigned ReadSet(const TEnumNames& names);  // bit i for member i
    std::vector<std::string> ReadStringList();
    std::vector<uint8_t> ReadBinary();
    // Items are added to the collection and read in turn.
    void ReadCollection(TCollection* collection);

    // A handler of the root by name, checked against the event's signature.
    template <typename Event>
    Event ReadEvent()
    {
        TMethod method = FindMethod(ReadIdent());
        if (!Event::Matches(method)) Fail("handler " + Value().Text + " has the wrong parameters for this event");
        return Event::FromMethod(method);
    }
    // A component of the root by name, assigned once the whole form is read.
    template <typename T>
    void ReadReference(std::function<void(T*)> assign)
    {
        std::string name = ReadIdent();
        int line = Value().Line;
        FFixups.push_back({name, line, [this, assign, name](TComponent* c) {
                               T* typed = dynamic_cast<T*>(c);
                               if (c && !typed) Fail(name + " is not a " + T::StaticClassName());
                               assign(typed);
                           }});
    }

    // TFiler
    void DefineProperty(const std::string& name, std::function<void(TReader&)> read) override;
    void DefineBinaryProperty(const std::string& name, std::function<void(TStream&)> read,
                              std::function<void(TStream&)> write, bool hasData) override;

    [[noreturn]] void Fail(const std::string& message) const;

private:
    struct Fixup {
        std::string Name;
        int Line;
        std::function<void(TComponent*)> Assign;
    };

    TComponent* FRoot;
    std::string FFormName;
    const TFormTable* FTable;
    const TValueNode* FValue = nullptr;
    int FLine = 0;
    std::vector<Fixup> FFixups;
    std::vector<TComponent*> FLoaded;
    std::map<std::string, std::function<void(TReader&)>> FDefined;
    std::map<std::string, std::function<void(TStream&)>> FDefinedBinary;

    void ReadComponent(const TObjectNode& node, TComponent* parent);
    void ReadProperties(TPersistent* instance, const std::vector<TPropertyNode>& properties);
    void ReadOneProperty(TPersistent* instance, const TPropertyNode& property);
    TMethod FindMethod(const std::string& name);
    const TValueNode& Expect(TValueKind kind, const char* what) const;
};

// In a form's table:  GANTREL_FIELD(TForm1, Button1), GANTREL_HANDLER(TForm1, Button1Click)
#define GANTREL_FIELD(Form, Field)                                                          \
    TFormField{#Field, [](TComponent* form, TComponent* component) {                        \
                   auto* typed = dynamic_cast<std::remove_pointer_t<decltype(Form::Field)>*>(component); \
                   static_cast<Form*>(form)->Field = typed;                                 \
                   return typed != nullptr;                                                 \
               }}
#define GANTREL_HANDLER(Form, Method) \
    TFormMethod{#Method, [](TComponent* form) { return MakeMethod<&Form::Method>(static_cast<Form*>(form)); }}

// Reads the form resource named after the form's class into it.
void ReadFormResource(TComponent* form, const TFormTable* table);
// The same from a form text (tests, and forms made at run time).
void ReadFormText(TComponent* form, const std::string& text, const TFormTable* table);
