// Form resources: every kind of property value, nested properties,
// collections, binary data, references fixed up after the whole form,
// handlers bound by name, the order of Loaded, and the errors a bad
// resource must give (with the form's name and the line).
#include "Application.h"
#include "Collection.h"
#include "Graphic.h"
#include "Menu.h"
#include "Reader.h"
#include "Streams.h"
#include "Strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> LoadedOrder;

class TTestItem : public TCollectionItem {
    GANTREL_CLASS(TTestItem)
    using TCollectionItem::TCollectionItem;
    int Width = 0;
    std::string Text;
    bool ReadProperty(const std::string& name, TReader& reader) override
    {
        if (name == "Width") Width = reader.ReadInteger();
        else if (name == "Text") Text = reader.ReadString();
        else return TCollectionItem::ReadProperty(name, reader);
        return true;
    }
};

class TNested : public TPersistent {
    GANTREL_CLASS(TNested)
    std::string Name;
    bool ReadProperty(const std::string& name, TReader& reader) override
    {
        if (name == "Name") Name = reader.ReadString();
        else return TPersistent::ReadProperty(name, reader);
        return true;
    }
};

enum TTestKind { tkFirst, tkSecond, tkThird };

// A component with a property of every kind a form resource carries.
class TProbe : public TComponent {
    GANTREL_CLASS(TProbe)

    explicit TProbe(TComponent* owner)
        : TComponent(owner), Items([](TCollection* c) { return new TTestItem(c); }, this)
    {
        Lines = new TStringList;
    }
    ~TProbe() override { delete Lines; }

    int Number = 0;
    double Ratio = 0;
    bool Flag = false;
    std::string Text;
    TTestKind Kind = tkFirst;
    unsigned Set = 0;
    TColor Color = clBlack;
    TStrings* Lines;
    TCollection Items;
    TNested Nested;
    std::vector<uint8_t> Blob;
    std::vector<uint8_t> Custom;
    TProbe* Buddy = nullptr;
    TNotifyEvent OnPoke;
    TEvent<void(TObject*, int&)> OnCount;

    void Loaded() override
    {
        TComponent::Loaded();
        LoadedOrder.push_back(Name());
        // By now every reference is in place.
        if (Buddy) LoadedOrder.push_back(Name() + "->" + Buddy->Name());
    }

    TPersistent* PropertyObject(const std::string& name) override
    {
        if (name == "Nested") return &Nested;
        if (name == "Lines") return Lines;
        return TComponent::PropertyObject(name);
    }

    void DefineProperties(TFiler* filer) override
    {
        filer->DefineBinaryProperty("CustomData", [this](TStream& s) {
            Custom.resize(size_t(s.Size()));
            s.ReadBuffer(Custom.data(), long(Custom.size()));
        });
    }

    bool ReadProperty(const std::string& name, TReader& reader) override
    {
        static const TEnumNames kinds = {"tkFirst", "tkSecond", "tkThird"};
        if (name == "Number") Number = reader.ReadInteger();
        else if (name == "Ratio") Ratio = reader.ReadFloat();
        else if (name == "Flag") Flag = reader.ReadBool();
        else if (name == "Text") Text = reader.ReadString();
        else if (name == "Kind") Kind = TTestKind(reader.ReadEnum(kinds));
        else if (name == "Set") Set = reader.ReadSet(kinds);
        else if (name == "Color") Color = ReadColor(reader);
        else if (name == "Items") reader.ReadCollection(&Items);
        else if (name == "Blob") Blob = reader.ReadBinary();
        else if (name == "Buddy") reader.ReadReference<TProbe>([this](TProbe* p) { Buddy = p; });
        else if (name == "OnPoke") OnPoke = reader.ReadEvent<TNotifyEvent>();
        else if (name == "OnCount") OnCount = reader.ReadEvent<TEvent<void(TObject*, int&)>>();
        else return TComponent::ReadProperty(name, reader);
        return true;
    }
};

class TProbeForm : public TForm {
    GANTREL_CLASS(TProbeForm)

    explicit TProbeForm(TComponent* owner) : TForm(owner, 0) {}

    TProbe* First = nullptr;
    TProbe* Second = nullptr;
    int Pokes = 0;
    void Poke(TObject*) { ++Pokes; }
    void Count(TObject*, int& n) { n += 10; }

    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TProbeForm, First), GANTREL_FIELD(TProbeForm, Second)},
            {GANTREL_HANDLER(TProbeForm, Poke), GANTREL_HANDLER(TProbeForm, Count)},
        };
        return &table;
    }

    void Read(const std::string& text) { ReadFormText(this, text, Table()); }
    void Loaded() override
    {
        TForm::Loaded();
        LoadedOrder.push_back(Name());
    }
};

const char* const FullForm = R"(object ProbeForm: TProbeForm
  Caption = 'Zähler ' + 'ok'#33
  object First: TProbe
    Number = -42
    Ratio = 1.25
    Flag = True
    Text = 'it''s'
    Kind = tkThird
    Set = [tkFirst, tkThird]
    Color = clBtnFace
    Lines.Strings = ('one' 'two' '')
    Items = <
      item
        Width = 50
        Text = 'a'
      end
      item
        Width = $10
      end>
    Nested.Name = 'inner'
    Blob = {0A0b FF
            00}
    CustomData = {414243}
    Buddy = Second   // defined further down
    OnPoke = Poke
    OnCount = Count
  end
  object Second: TProbe
    Buddy = First
  end
end
)";

class StreamingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterClass<TProbe>();
        LoadedOrder.clear();
        Form = new TProbeForm(nullptr);
    }
    void TearDown() override { Form->Free(); }

    // The error message of reading text, or "" when it reads.
    std::string ErrorOf(const std::string& text)
    {
        TProbeForm* form = new TProbeForm(nullptr);
        std::string message;
        try {
            form->Read(text);
        } catch (const EReadError& e) {
            message = e.what();
        }
        form->Free();
        return message;
    }

    TProbeForm* Form;
};

TEST_F(StreamingTest, EveryKindOfValueReachesItsProperty)
{
    Form->Read(FullForm);
    TProbe* p = Form->First;
    ASSERT_NE(nullptr, p);
    EXPECT_EQ("ProbeForm", Form->Name());
    EXPECT_EQ(-42, p->Number);
    EXPECT_DOUBLE_EQ(1.25, p->Ratio);
    EXPECT_TRUE(p->Flag);
    EXPECT_EQ("it's", p->Text);
    EXPECT_EQ(tkThird, p->Kind);
    EXPECT_EQ(5u, p->Set);
    EXPECT_EQ(clBtnFace, p->Color);
    EXPECT_EQ("one\r\ntwo\r\n\r\n", p->Lines->Text());
    ASSERT_EQ(2, p->Items.Count());
    EXPECT_EQ(50, static_cast<TTestItem*>(p->Items.Items(0))->Width);
    EXPECT_EQ("a", static_cast<TTestItem*>(p->Items.Items(0))->Text);
    EXPECT_EQ(16, static_cast<TTestItem*>(p->Items.Items(1))->Width);
    EXPECT_EQ("inner", p->Nested.Name);
    EXPECT_EQ(std::vector<uint8_t>({0x0A, 0x0B, 0xFF, 0x00}), p->Blob);
    EXPECT_EQ(std::vector<uint8_t>({'A', 'B', 'C'}), p->Custom);
    // UTF-8 in the file, the ANSI code page in the program.
    EXPECT_EQ(std::string("Z\xE4hler ok!"), Form->Caption());
}

TEST_F(StreamingTest, ReferencesAreFixedUpAfterTheWholeFormAndLoadedRunsLast)
{
    Form->Read(FullForm);
    EXPECT_EQ(Form->Second, Form->First->Buddy);
    EXPECT_EQ(Form->First, Form->Second->Buddy);
    // The root first, then in reading order; every reference already set.
    EXPECT_EQ(std::vector<std::string>({"ProbeForm", "First", "First->Second", "Second", "Second->First"}), LoadedOrder);
    EXPECT_FALSE(Form->First->Loading());
    EXPECT_FALSE(Form->Loading());
}

TEST_F(StreamingTest, HandlersAreBoundByNameAndCompareEqual)
{
    Form->Read(FullForm);
    Form->First->OnPoke(Form->First);
    EXPECT_EQ(1, Form->Pokes);
    int n = 1;
    Form->First->OnCount(Form->First, n);
    EXPECT_EQ(11, n);
    // The same method of the same object is the same event: it can be
    // saved, compared and put back.
    TNotifyEvent saved = Form->First->OnPoke;
    EXPECT_TRUE(saved == MakeEvent<&TProbeForm::Poke>(Form));
    Form->First->OnPoke = nullptr;
    EXPECT_FALSE(Form->First->OnPoke);
    EXPECT_TRUE(saved != Form->First->OnPoke);
    Form->First->OnPoke = saved;
    Form->First->OnPoke(nullptr);
    EXPECT_EQ(2, Form->Pokes);
}

TEST_F(StreamingTest, ComponentsBelongToTheFormAndAreFoundByName)
{
    Form->Read(FullForm);
    EXPECT_EQ(2, Form->ComponentCount());
    EXPECT_EQ(Form->Second, Form->FindComponent("second"));
    EXPECT_EQ(Form, Form->First->Owner());
}

TEST_F(StreamingTest, BadResourcesNameTheFormAndTheLine)
{
    auto form = [](const std::string& body) { return "object ProbeForm: TProbeForm\n" + body + "end\n"; };
    EXPECT_EQ("Form TProbeForm, line 2: unknown class TNothing",
              ErrorOf(form("  object X: TNothing\n  end\n")));
    EXPECT_EQ("Form TProbeForm, line 3: unknown property Colour of TProbe",
              ErrorOf(form("  object First: TProbe\n    Colour = clRed\n  end\n  object Second: TProbe\n  end\n")));
    EXPECT_EQ("Form TProbeForm, line 3: the form has no handler Missing",
              ErrorOf(form("  object First: TProbe\n    OnPoke = Missing\n  end\n  object Second: TProbe\n  end\n")));
    EXPECT_EQ("Form TProbeForm, line 3: handler Poke has the wrong parameters for this event",
              ErrorOf(form("  object First: TProbe\n    OnCount = Poke\n  end\n  object Second: TProbe\n  end\n")));
    EXPECT_EQ("Form TProbeForm, line 3: a whole number expected, found a string",
              ErrorOf(form("  object First: TProbe\n    Number = '12'\n  end\n  object Second: TProbe\n  end\n")));
    EXPECT_EQ("Form TProbeForm, line 3: unknown value tkFourth",
              ErrorOf(form("  object First: TProbe\n    Kind = tkFourth\n  end\n  object Second: TProbe\n  end\n")));
    EXPECT_EQ("Form TProbeForm, line 3: no component named Nobody",
              ErrorOf(form("  object First: TProbe\n    Buddy = Nobody\n  end\n  object Second: TProbe\n  end\n")));
    EXPECT_EQ("Form TProbeForm, line 4: unknown colour clMauve",
              ErrorOf(form("  object First: TProbe\n\n    Color = clMauve\n  end\n  object Second: TProbe\n  end\n")));
    EXPECT_EQ("Form TProbeForm, line 1: the form has no component Second",
              ErrorOf(form("  object First: TProbe\n  end\n")));
    EXPECT_EQ("Form TProbeForm, line 2: string without its closing quote",
              ErrorOf(form("  Caption = 'open\n")));
    EXPECT_EQ("Form TProbeForm, line 1: the form is a TProbeForm, not a TForm",
              ErrorOf("object ProbeForm: TForm\nend\n"));
    EXPECT_EQ("Form TProbeForm, line 3: binary data with an odd number of digits",
              ErrorOf(form("  object First: TProbe\n    Blob = {ABC}\n  end\n  object Second: TProbe\n  end\n")));
}

TEST_F(StreamingTest, FormResourcesAreReadFromTheExecutable)
{
    // TTestResourceForm's text is compiled into the test executable.
    class TTestResourceForm : public TForm {
        GANTREL_CLASS(TTestResourceForm)
        explicit TTestResourceForm(TComponent* owner) : TForm(owner, 0) { ReadFormResource(this, nullptr); }
    };
    TTestResourceForm* form = NewForm<TTestResourceForm>(nullptr);
    EXPECT_EQ("From the resource", form->Caption());
    EXPECT_EQ(321, form->ClientWidth());
    TMenuItem* item = form->FindComponent<TMenuItem>("Open1");
    ASSERT_NE(nullptr, item);
    EXPECT_EQ("&Open", item->Caption());
    EXPECT_EQ(form->FindComponent("File1"), item->GetParentComponent());
    form->Free();
}

}  // namespace
