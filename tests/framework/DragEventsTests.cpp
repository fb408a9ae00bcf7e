// The drag-and-drop events: bound by name from a form resource, called with
// their arguments, and a handler of another event's shape refused.
#include "DragEvents.h"
#include "Form.h"
#include "Reader.h"

#include <gtest/gtest.h>

namespace {

class TDragProbe : public TComponent {
    GANTREL_CLASS(TDragProbe)
    explicit TDragProbe(TComponent* owner) : TComponent(owner) {}
    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TEndDragEvent OnEndDrag;
    bool ReadProperty(const std::string& name, TReader& reader) override
    {
        if (name == "OnDragDrop") OnDragDrop = reader.ReadEvent<TDragDropEvent>();
        else if (name == "OnDragOver") OnDragOver = reader.ReadEvent<TDragOverEvent>();
        else if (name == "OnEndDrag") OnEndDrag = reader.ReadEvent<TEndDragEvent>();
        else return TComponent::ReadProperty(name, reader);
        return true;
    }
};

class TDragForm : public TForm {
    GANTREL_CLASS(TDragForm)
    TDragForm() : TForm(nullptr, 0) {}
    TDragProbe* Probe = nullptr;
    TObject* Source = nullptr;
    int X = 0, Y = 0;
    TDragState State = dsDragLeave;
    void Dropped(TObject*, TObject* source, int x, int y)
    {
        Source = source;
        X = x;
        Y = y;
    }
    void Over(TObject*, TObject* source, int x, int y, TDragState state, bool& accept)
    {
        Dropped(nullptr, source, x, y);
        State = state;
        accept = x > 0;
    }
    void Ended(TObject*, TObject* target, int x, int y) { Dropped(nullptr, target, -x, -y); }
    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TDragForm, Probe)},
            {GANTREL_HANDLER(TDragForm, Dropped), GANTREL_HANDLER(TDragForm, Over), GANTREL_HANDLER(TDragForm, Ended)},
        };
        return &table;
    }
};

}  // namespace

TEST(DragEvents, BoundFromAFormResourceAndCalledWithTheirArguments)
{
    RegisterClass<TDragProbe>();
    auto* form = new TDragForm;
    ReadFormText(form,
                 "object DragForm: TDragForm\n"
                 "  object Probe: TDragProbe\n"
                 "    OnDragDrop = Dropped\n"
                 "    OnDragOver = Over\n"
                 "    OnEndDrag = Ended\n"
                 "  end\n"
                 "end\n",
                 TDragForm::Table());
    ASSERT_NE(nullptr, form->Probe);
    form->Probe->OnDragDrop(form->Probe, form, 3, 4);
    EXPECT_EQ(form, form->Source);
    EXPECT_EQ(3, form->X);
    EXPECT_EQ(4, form->Y);
    bool accept = false;
    form->Probe->OnDragOver(form->Probe, form->Probe, 5, 6, dsDragMove, accept);
    EXPECT_TRUE(accept);
    EXPECT_EQ(dsDragMove, form->State);
    EXPECT_EQ(form->Probe, form->Source);
    form->Probe->OnEndDrag(form->Probe, nullptr, 7, 8);
    EXPECT_EQ(nullptr, form->Source);
    EXPECT_EQ(-7, form->X);
    form->Free();
}

TEST(DragEvents, AHandlerOfAnotherShapeIsRefused)
{
    RegisterClass<TDragProbe>();
    auto* form = new TDragForm;
    EXPECT_THROW(ReadFormText(form,
                              "object DragForm: TDragForm\n"
                              "  object Probe: TDragProbe\n"
                              "    OnDragOver = Dropped\n"
                              "  end\n"
                              "end\n",
                              TDragForm::Table()),
                 EReadError);
    form->Free();
}
