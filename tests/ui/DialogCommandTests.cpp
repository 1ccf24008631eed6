// The editing commands of the main window with their dialogs: each works on a copy, writes back
// on OK as one undo step, leaves the document alone on Cancel, and redraws nothing before
// "Trace !".

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QAbstractSpinBox>

#include "tests/ui/WindowTestSupport.h"
#include "ui/CommandTable.h"
#include "ui/dialogs/CColorBtn.h"

namespace {

template <class T> T* Child(QWidget* dialog, const char* name)
{
    T* child = dialog->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name << " in " << dialog->metaObject()->className();
    return child;
}

void SetText(QWidget* dialog, const char* name, const char* text)
{
    if (auto* edit = Child<QLineEdit>(dialog, name))
        edit->setText(QString::fromUtf8(text));
}

void Click(QWidget* dialog, const char* name)
{
    if (auto* button = Child<QAbstractButton>(dialog, name))
        button->click();
}

struct EditCase {
    const char* name;
    int command;
    const char* dialogClass;
    std::function<void(QWidget*)> edit; // changes one thing in the open dialog
    std::function<std::string(CFunctionsContext&)> probe; // what that change shows in the model
};

std::string Number(double value)
{
    return std::to_string(value);
}

const EditCase kEditCases[] = {
    {"WorkingArea", ID_TRACEUR_INTERVALLES, "CDlgIntervalles",
        [](QWidget* d) { SetText(d, "xMinEdit", "-5"); },
        [](CFunctionsContext& c) { return Number(c.area.areaXMin); }},
    {"Functions", ID_TRACEUR_FONCTIONS, "CDlgFonctions",
        [](QWidget* d) { SetText(d, "formula1Edit", "cos(x)"); },
        [](CFunctionsContext& c) {
            return c.GetCount() == 0 ? std::string("none") : c.GetAt(0).function.Formula1();
        }},
    {"Axes", ID_TRACEUR_AXES, "CDlgTraceAxes", [](QWidget* d) { Click(d, "drawAxesCheck"); },
        [](CFunctionsContext& c) { return std::string(c.axis.drawAxes ? "axes" : "none"); }},
    {"Parameters", ID_TRACEUR_PARAMETRES, "CDlgTraceParams",
        [](QWidget* d) { Click(d, "antialiasCheck"); },
        [](CFunctionsContext& c) { return std::string(c.params.antialias ? "smooth" : "sharp"); }},
};

void PrintTo(const EditCase& c, std::ostream* out)
{
    *out << c.name;
}

class EditingCommands : public ::testing::TestWithParam<EditCase> { };

TEST_P(EditingCommands, CancelLeavesTheDocumentAndItsFlag)
{
    const EditCase& c = GetParam();
    Window w;
    const std::string before = c.probe(w.Context());
    const int answered = AnswerModals([&] { w.frame->Action(c.command)->trigger(); },
        {[&](QWidget* d) {
            EXPECT_STREQ(d->metaObject()->className(), c.dialogClass);
            c.edit(d);
            Click(d, "cancelButton");
        }});
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(c.probe(w.Context()), before);
    EXPECT_FALSE(w.doc->IsModified());
    EXPECT_EQ(w.doc->UndoStack().count(), 0);
}

TEST_P(EditingCommands, OkWritesBackAsOneUndoStepAndRedrawsOnlyAtTrace)
{
    const EditCase& c = GetParam();
    Window w;
    const std::string before = c.probe(w.Context());
    const long drawings = w.View().PlotDrawings();
    AnswerModals([&] { w.frame->Action(c.command)->trigger(); }, {[&](QWidget* d) {
        c.edit(d);
        Click(d, "okButton");
    }});
    const std::string after = c.probe(w.Context());
    EXPECT_NE(after, before);
    EXPECT_TRUE(w.doc->IsModified());
    EXPECT_EQ(w.doc->UndoStack().count(), 1);

    QApplication::processEvents();
    EXPECT_EQ(w.View().PlotDrawings(), drawings); // the change shows at "Trace !"
    w.frame->Action(ID_TRACEUR_TRACE)->trigger();
    w.Paint();
    EXPECT_EQ(w.View().PlotDrawings(), drawings + 1);

    w.doc->UndoStack().undo();
    EXPECT_EQ(c.probe(w.Context()), before);
    EXPECT_FALSE(w.doc->IsModified());
    w.doc->UndoStack().redo();
    EXPECT_EQ(c.probe(w.Context()), after);
    EXPECT_TRUE(w.doc->IsModified());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, EditingCommands, ::testing::ValuesIn(kEditCases),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditingCommands, OkWithoutAChangeInTheWorkingAreaLeavesTheDocumentClean)
{
    Window w;
    AnswerModals([&] { w.frame->Action(ID_TRACEUR_INTERVALLES)->trigger(); },
        {[&](QWidget* d) { Click(d, "okButton"); }});
    EXPECT_FALSE(w.doc->IsModified());
    EXPECT_EQ(w.doc->UndoStack().count(), 0);
}

TEST(EditingCommands, ANewCurveFromTheEditorIsDrawnAfterTrace)
{
    Window w;
    const int count = w.Context().GetCount();
    AnswerModals([&] { w.frame->Action(ID_TRACEUR_FONCTIONS)->trigger(); }, {[&](QWidget* d) {
        Click(d, "newButton");
        SetText(d, "formula1Edit", "x/2");
        Click(d, "okButton");
    }});
    ASSERT_EQ(w.Context().GetCount(), count + 1);
    EXPECT_EQ(w.Context().GetAt(count).function.Formula1(), "x/2");
    const long samplings = w.View().Samplings();
    w.frame->Action(ID_TRACEUR_TRACE)->trigger();
    w.Paint();
    EXPECT_EQ(w.View().Samplings(), samplings + 1);
}

TEST(EditingCommands, ScreenSizeGivesTheViewTheTypedSizeAndRedraws)
{
    Window w;
    const long drawings = w.View().PlotDrawings();
    AnswerModals([&] { w.frame->Action(ID_VIEW_SCREEN_SIZE)->trigger(); }, {[&](QWidget* d) {
        // The fields are read as typed.
        for (auto [name, text] : {std::pair {"widthSpin", "640"}, std::pair {"heightSpin", "480"}})
            if (auto* spin = Child<QAbstractSpinBox>(d, name))
                if (auto* edit = spin->findChild<QLineEdit*>())
                    edit->setText(QString::fromLatin1(text));
        Click(d, "okButton");
    }});
    QApplication::processEvents();
    w.Paint();
    EXPECT_EQ(w.View().width(), 640);
    EXPECT_EQ(w.View().height(), 480);
    EXPECT_GT(w.View().PlotDrawings(), drawings);
    EXPECT_FALSE(w.doc->IsModified()); // the size of the window is not the document's
}

TEST(EditingCommands, TheColourButtonsOfEveryDialogShareTheWindowsPalette)
{
    // So a colour added through "Autre..." in one dialog shows in the others.
    Window w;
    std::vector<const ColourPalette*> seen;
    const auto look = [&seen](std::vector<const char*> buttons) {
        return [&seen, buttons](QWidget* d) {
            for (const char* name : buttons)
                if (auto* b = Child<CColorBtn>(d, name))
                    seen.push_back(&b->Palette());
            Click(d, "cancelButton");
        };
    };
    AnswerModals(
        [&] { w.frame->Action(ID_TRACEUR_FONCTIONS)->trigger(); }, {look({"colourButton"})});
    AnswerModals([&] { w.frame->Action(ID_TRACEUR_AXES)->trigger(); },
        {look({"axesColourButton", "gridColourButton"})});
    ASSERT_EQ(seen.size(), 3u);
    for (const ColourPalette* palette : seen)
        EXPECT_EQ(palette, &w.frame->Palette());
}

TEST(EditingCommands, TheDerivativeToolReadsAndWritesNothingOfTheDocument)
{
    Window w;
    QString result;
    AnswerModals([&] { w.frame->Action(ID_TOOLS_DERIVATE)->trigger(); }, {[&](QWidget* d) {
        EXPECT_STREQ(d->metaObject()->className(), "CDlgToolsDerivate");
        SetText(d, "formulaEdit", "X^2");
        SetText(d, "variableEdit", "x");
        Click(d, "deriveButton");
        if (auto* out = Child<QPlainTextEdit>(d, "resultEdit"))
            result = out->toPlainText();
        Click(d, "quitButton");
    }});
    EXPECT_FALSE(result.isEmpty());
    EXPECT_FALSE(w.doc->IsModified());
    EXPECT_EQ(w.doc->UndoStack().count(), 0);
}

} // namespace
