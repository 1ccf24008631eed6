// The plot's context menu, the trace and the remarkable points in the window, offscreen, on the
// new document's view (x -22 to 18, y -15 to 15 on 800 x 600: 20 pixels a unit, the origin at
// pixel (440, 300)). The points come from the real search, run off the user-interface thread.

#include <cmath>
#include <string>
#include <vector>

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolTip>

#include "tests/ui/WindowTestSupport.h"
#include "ui/FormulaMessages.h"
#include "ui/SharedTexts.h"

namespace {

// A window whose document holds the given Cartesian curves (colours of their own), drawn once.
struct TraceWindow : Window {
    explicit TraceWindow(const std::vector<const char*>& formulas)
    {
        CFunctionsContext& c = Context();
        c.Clear();
        int32_t colour = 0x0000C0;
        for (const char* formula : formulas) {
            CFunction f;
            f.Set(CurveCartesian, formula, "", 0, 0, colour, 136);
            CFunctionEntry entry;
            entry.SetFunction(f);
            c.Append(entry);
            colour <<= 8;
        }
        Paint();
    }

    QString Pane() const { return frame->StatusPane(0)->text(); }

    // Right click at p and choose the entry.
    void Choose(QPoint p, int entry)
    {
        QMenu* menu = View().ContextMenuAt({p.x(), p.y()});
        QAction* action = menu->actions().at(entry);
        ASSERT_TRUE(action->isEnabled());
        action->trigger();
        Paint();
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&View(), static_cast<Qt::Key>(key), modifiers);
        Paint();
    }

    // Until the search is over (a repaint starts it when the view needs it).
    void WaitForMarks()
    {
        Paint();
        QElapsedTimer clock;
        clock.start();
        while (View().Searching() && clock.elapsed() < 20000)
            QTest::qWait(10);
        ASSERT_FALSE(View().Searching());
        Paint();
    }
};

// The entries, as the menu lists them (a separator between tangent and copy).
constexpr int kTrace = 0;
constexpr int kMarks = 1;
constexpr int kTangent = 2;
constexpr int kCopy = 4;
constexpr int kCentre = 5;

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

TEST(TraceWindow, TheContextMenuOffersItsEntriesWhenACurveIsDrawn)
{
    const struct {
        std::vector<const char*> curves;
        bool drawn;
    } rows[] = {
        {{"sin(x)"}, true},
        {{}, false},
        {{"sqrt(-1-x^2)"}, false}, // defined nowhere
        {{"sin("}, false}, // does not compile
        {{"sin(", "ln(x)"}, true},
    };
    for (const auto& row : rows) {
        TraceWindow w(row.curves);
        QMenu* menu = w.View().ContextMenuAt({100, 100});
        std::vector<std::string> entries;
        for (QAction* a : menu->actions()) {
            entries.push_back(a->isSeparator() ? "-" : a->text().toStdString());
            if (a->isSeparator())
                continue;
            // What a screen reader reads: the text without its mnemonic.
            QAccessibleInterface* item = QAccessible::queryAccessibleInterface(menu)->child(
                static_cast<int>(menu->actions().indexOf(a)));
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->text(QAccessible::Name), QString(a->text()).remove(QLatin1Char('&')));
            EXPECT_FALSE(a->statusTip().isEmpty());
        }
        EXPECT_EQ(entries,
            std::vector<std::string>({"&Suivre la courbe", "&Points remarquables",
                "&Tangente en ce point", "-", "&Copier les coordonnées", "C&entrer ici"}));
        const QList<QAction*> actions = menu->actions();
        EXPECT_EQ(actions[kTrace]->isEnabled(), row.drawn);
        EXPECT_EQ(actions[kMarks]->isEnabled(), row.drawn);
        EXPECT_FALSE(actions[kTangent]->isEnabled()); // nothing traced yet
        EXPECT_TRUE(actions[kCopy]->isEnabled());
        EXPECT_TRUE(actions[kCentre]->isEnabled());
        EXPECT_TRUE(actions[kTrace]->isCheckable());
        EXPECT_FALSE(actions[kTrace]->isChecked());
        EXPECT_FALSE(actions[kMarks]->isChecked());
    }
}

TEST(TraceWindow, TracingASineShowsItsExactValuesAndDerivative)
{
    TraceWindow w({"sin(x)"});
    w.Choose({460, 300}, kTrace); // x = 1
    EXPECT_EQ(w.Pane(), Utf8("Courbe 0 : x = 1, f(x) = 0.8414709848, f'(x) = 0.5403023059"));
    // A screen reader reads the trace as the view's description.
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&w.View());
    EXPECT_EQ(view->text(QAccessible::Name), Utf8("Zone de tracé"));
    EXPECT_EQ(view->text(QAccessible::Description), w.Pane());
    EXPECT_EQ(w.View().cursor().shape(), Qt::CrossCursor);
    EXPECT_TRUE(w.View().ContextMenuAt({0, 0})->actions()[kTrace]->isChecked());
    EXPECT_TRUE(w.View().ContextMenuAt({0, 0})->actions()[kTangent]->isEnabled());
    MouseMove(&w.View(), QPoint(400, 10)); // the pointer's height does not matter
    EXPECT_EQ(w.Pane(), Utf8("Courbe 0 : x = -2, f(x) = -0.9092974268, f'(x) = -0.4161468365"));
    w.Key(Qt::Key_Right);
    EXPECT_EQ(w.Pane().left(24), Utf8("Courbe 0 : x = -1.95, f("));
    // The trace outlives the pointer's leaving; Escape ends it.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&w.View(), &leave);
    EXPECT_EQ(w.Pane().left(24), Utf8("Courbe 0 : x = -1.95, f("));
    EXPECT_EQ(view->text(QAccessible::Description), w.Pane());
    w.Key(Qt::Key_Escape);
    EXPECT_FALSE(w.View().Tracing().Active());
    EXPECT_EQ(view->text(QAccessible::Description), QString());
    EXPECT_EQ(w.View().cursor().shape(), Qt::ArrowCursor);
    MouseMove(&w.View(), QPoint(440, 300));
    EXPECT_EQ(w.Pane(), Utf8("Coordonnée x : 0, coordonnée y : 0"));
    EXPECT_FALSE(w.doc->IsModified());
}

TEST(TraceWindow, UpAndDownSwitchCurvesAndTheLeftButtonPicksOne)
{
    TraceWindow w({"sin(x)", "cos(x)", "x"});
    w.Choose({460, 283}, kTrace); // nearest sin(1) at row 283
    EXPECT_EQ(w.View().Tracing().Curve(), 0);
    w.Key(Qt::Key_Up);
    EXPECT_EQ(w.Pane(), Utf8("Courbe 1 : x = 1, f(x) = 0.5403023059, f'(x) = -0.8414709848"));
    w.Key(Qt::Key_Up);
    EXPECT_EQ(w.Pane(), Utf8("Courbe 2 : x = 1, f(x) = 1, f'(x) = 1"));
    w.Key(Qt::Key_Up);
    EXPECT_EQ(w.View().Tracing().Curve(), 0);
    w.Key(Qt::Key_Down);
    EXPECT_EQ(w.View().Tracing().Curve(), 2);
    // In the trace, the left button picks the curve nearest the click instead of panning.
    MousePress(&w.View(), Qt::LeftButton, QPoint(500, 291)); // cos(3) at row 319.8, sin at 297
    MouseRelease(&w.View(), Qt::LeftButton, QPoint(500, 291));
    EXPECT_EQ(w.View().Tracing().Curve(), 0);
    EXPECT_EQ(w.Context().area.areaXMin, -22);
}

TEST(TraceWindow, ThePaneSaysWhereTheCurveIsUndefinedOrWhyItCannotBeTraced)
{
    TraceWindow w({"ln(x)", "sin("});
    w.Choose({460, 300}, kTrace);
    MouseMove(&w.View(), QPoint(420, 300));
    EXPECT_EQ(w.Pane(), Utf8("Courbe 0 : f n'est pas définie en x = -1"));
    w.Key(Qt::Key_Up);
    // In the words of the function editor's line under the formula.
    const QString editor = CheckFormulaText(QStringLiteral("sin("), CurveCartesian).text;
    ASSERT_FALSE(editor.isEmpty());
    EXPECT_EQ(w.Pane(), Utf8("La courbe 1 ne peut pas être suivie (y(x) : ") + editor + ")");
    EXPECT_FALSE(w.View().ContextMenuAt({0, 0})->actions()[kTangent]->isEnabled());
}

TEST(TraceWindow, CopyPutsTheCoordinatesOnTheClipboardAsASpreadsheetRow)
{
    TraceWindow w({"sin(x)"});
    w.Choose({430, 310}, kCopy); // the pointer's world position
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("-0.5\t-0.5"));
    w.Choose({460, 300}, kTrace);
    w.Choose({100, 100}, kCopy); // the traced point, wherever the click
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1\t0.8414709848"));
}

TEST(TraceWindow, TabVisitsTheRemarkablePointsOfTheCubicInOrder)
{
    TraceWindow w({"x^3-3*x"});
    w.Choose({0, 300}, kTrace);
    w.WaitForMarks();
    const char* visits[] = {
        "Courbe 0, racine : x = -1.732050808, ",
        "Courbe 0, maximum local : x = -1, f(x) = 2, f'(x) = 0",
        "Courbe 0, racine : x = 0, f(x) = 0, f'(x) = -3",
        "Courbe 0, point d'inflexion : x = 0, f(x) = 0, f'(x) = -3",
        "Courbe 0, minimum local : x = 1, f(x) = -2, f'(x) = 0",
        "Courbe 0, racine : x = 1.732050808, ",
        "Courbe 0, racine : x = -1.732050808, ", // round again
    };
    for (const char* expected : visits) {
        w.Key(Qt::Key_Tab);
        EXPECT_EQ(w.Pane().left(Utf8(expected).size()), Utf8(expected));
    }
    w.Key(Qt::Key_Tab, Qt::ShiftModifier);
    const QString last = Utf8("Courbe 0, racine : x = 1.732050808, ");
    EXPECT_EQ(w.Pane().left(last.size()), last);
    w.Key(Qt::Key_Backtab);
    EXPECT_EQ(w.Pane(), Utf8("Courbe 0, minimum local : x = 1, f(x) = -2, f'(x) = 0"));
    EXPECT_TRUE(w.View().hasFocus()); // Tab moved the cursor, not the focus
}

TEST(TraceWindow, TheCursorSnapsToTheMaximumNearThePointer)
{
    TraceWindow w({"x^3-3*x"});
    w.Choose({300, 300}, kTrace);
    w.WaitForMarks();
    MouseMove(&w.View(), QPoint(422, 50)); // x = -0.9: two pixels from the maximum (420, 260)
    EXPECT_EQ(w.Pane(), Utf8("Courbe 0, maximum local : x = -1, f(x) = 2, f'(x) = 0"));
    MouseMove(&w.View(), QPoint(430, 50));
    EXPECT_EQ(w.Pane(), Utf8("Courbe 0 : x = -0.5, f(x) = 1.375, f'(x) = -2.25"));
}

TEST(TraceWindow, TheTangentIsDrawnDashedInTheCurvesColourWithItsEquation)
{
    TraceWindow w({"x^2"});
    w.Choose({460, 280}, kTrace); // x = 1
    const QImage before = w.View().grab().toImage();
    w.Choose({460, 280}, kTangent);
    EXPECT_EQ(w.Pane(), Utf8("Courbe 0 : x = 1, f(x) = 1, f'(x) = 2 ; tangente : y = 2x - 1"));
    const QImage after = w.View().grab().toImage();
    // Along y = 2x - 1 away from the parabola: from (2, 3) to (4, 7), pixels (480, 240) to
    // (520, 160), some in the curve's colour (0xC00000), as many left as they were for the gaps.
    const auto curveColoured
        = [](QColor c) { return c.red() > 120 && c.green() < 100 && c.blue() < 100; };
    int coloured = 0;
    int unchanged = 0;
    for (int x = 480; x <= 520; ++x) {
        const QPoint p(x, 300 - (2 * (x - 440) - 20));
        EXPECT_FALSE(curveColoured(before.pixelColor(p)));
        coloured += curveColoured(after.pixelColor(p)) ? 1 : 0;
        unchanged += after.pixelColor(p) == before.pixelColor(p) ? 1 : 0;
    }
    EXPECT_GT(coloured, 10);
    EXPECT_GT(unchanged, 5);
    MouseMove(&w.View(), QPoint(480, 0)); // it follows the cursor
    EXPECT_EQ(w.Pane(), Utf8("Courbe 0 : x = 2, f(x) = 4, f'(x) = 4 ; tangente : y = 4x - 4"));
}

// A trace with its tangent is longer than the pane of a narrow window: the window keeps its width,
// and the pane keeps the whole text for its tooltip and for a screen reader.
TEST(TraceWindow, ALongTraceTextNeitherWidensTheWindowNorIsLost)
{
    TraceWindow w({"sin(x)*exp(x/7)"});
    w.frame->resize(500, w.frame->height());
    QTest::qWait(10);
    const int width = w.frame->width();
    w.Choose({463, 280}, kTrace);
    w.Choose({463, 280}, kTangent);
    QLabel* pane = w.frame->StatusPane(0);
    EXPECT_GT(pane->fontMetrics().horizontalAdvance(pane->text()), pane->width());
    EXPECT_EQ(w.frame->width(), width);
    EXPECT_TRUE(pane->text().startsWith(Utf8("Courbe 0 : x = ")));
    EXPECT_TRUE(pane->text().contains(Utf8(" ; tangente : y = ")));
    pane->grab(); // paints it
    EXPECT_EQ(pane->toolTip(), pane->text());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(pane)->text(QAccessible::Name), pane->text());
}

TEST(TraceWindow, AMarksTooltipTellsItsKindAndValues)
{
    TraceWindow w({"x^3-3*x"});
    w.Choose({0, 0}, kMarks);
    EXPECT_TRUE(w.View().MarksShown());
    w.WaitForMarks();
    const QString expected
        = Utf8("Courbe 0, maximum local : x = -1, y = 2\nPoint prouvé par le calcul d'intervalles");
    EXPECT_EQ(w.View().ToolTipAt({421, 261}), expected);
    QHelpEvent help(QEvent::ToolTip, QPoint(421, 261), w.View().mapToGlobal(QPoint(421, 261)));
    QApplication::sendEvent(&w.View(), &help);
    EXPECT_EQ(QToolTip::text(), expected);
    EXPECT_EQ(w.View().ToolTipAt({430, 200}), QString());
    // Hidden marks have no tooltips.
    w.Choose({0, 0}, kMarks);
    EXPECT_FALSE(w.View().MarksShown());
    EXPECT_EQ(w.View().ToolTipAt({421, 261}), QString());
}

TEST(TraceWindow, MarksAreDrawnOverTheKeptPlotAndMovingTheCursorDrawsNoCurve)
{
    TraceWindow w({"x^3-3*x"});
    const QImage plain = w.View().grab().toImage();
    w.Choose({0, 0}, kMarks);
    w.WaitForMarks();
    // The maximum's mark: a triangle around (420, 260).
    const QImage marked = w.View().grab().toImage();
    int around = 0;
    for (int y = 250; y <= 270; ++y)
        for (int x = 410; x <= 430; ++x)
            around += marked.pixelColor(x, y) != plain.pixelColor(x, y) ? 1 : 0;
    EXPECT_GT(around, 30);
    const long drawings = w.View().PlotDrawings();
    const long samplings = w.View().Samplings();
    w.Choose({300, 300}, kTrace);
    for (int x = 300; x < 500; x += 7) {
        MouseMove(&w.View(), QPoint(x, 10));
        w.Paint();
    }
    for (int i = 0; i < 10; ++i)
        w.Key(Qt::Key_Right);
    w.Key(Qt::Key_Tab);
    EXPECT_EQ(w.View().PlotDrawings(), drawings);
    EXPECT_EQ(w.View().Samplings(), samplings);
}

TEST(TraceWindow, TheSearchFollowsTheView)
{
    TraceWindow w({"x^3-3*x"});
    w.Choose({0, 0}, kMarks);
    w.WaitForMarks();
    ASSERT_EQ(w.View().Marks().PointsOn(0).size(), 6u);
    // Zoomed in on x from -1.5 to 1.5: the roots at +-sqrt(3) leave.
    CWorkingArea& a = w.Context().area;
    a.areaXMin = -1.5;
    a.areaXMax = 1.5;
    w.Paint();
    EXPECT_TRUE(w.View().Searching());
    w.WaitForMarks();
    std::vector<PointKind> kinds;
    for (const RemarkablePoint& p : w.View().Marks().PointsOn(0))
        kinds.push_back(p.kind);
    EXPECT_EQ(kinds,
        std::vector<PointKind>(
            {PointKind::Maximum, PointKind::Root, PointKind::Inflection, PointKind::Minimum}));
    // Another formula: the marks of the old one go at once.
    w.Context().GetAt(0).function.SetFormula1("x^2-1");
    w.Paint();
    EXPECT_FALSE(w.View().Marks().Known(0));
    w.WaitForMarks();
    EXPECT_EQ(w.View().Marks().PointsOn(0).size(), 3u); // two roots and the minimum
}

TEST(TraceWindow, MarksAndTangentAreTheViewsNotTheDocuments)
{
    QTemporaryDir dir;
    TraceWindow w({"x^3-3*x"});
    const QString plain = dir.filePath(QStringLiteral("plain.png"));
    const QString marked = dir.filePath(QStringLiteral("marked.png"));
    QString error;
    ASSERT_TRUE(w.View().ExportPng(plain, error)) << error.toStdString();
    w.Choose({0, 0}, kMarks);
    w.WaitForMarks();
    w.Choose({420, 260}, kTrace);
    w.Choose({420, 260}, kTangent);
    EXPECT_FALSE(w.doc->IsModified());
    ASSERT_TRUE(w.View().ExportPng(marked, error)) << error.toStdString();
    // Exported as shown, but for the crosshair: the vertical line through the cursor is not.
    const QImage a(plain);
    const QImage b(marked);
    ASSERT_EQ(a.size(), b.size());
    const auto differing = [&](QRect box) {
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                n += a.pixelColor(x, y) != b.pixelColor(x, y) ? 1 : 0;
        return n;
    };
    EXPECT_GT(differing(QRect(450, 330, 21, 21)), 20); // the minimum's mark at (460, 340)
    EXPECT_GT(differing(QRect(200, 259, 200, 3)), 50); // the tangent y = 2, dashed
    EXPECT_EQ(differing(QRect(419, 480, 3, 20)), 0); // no crosshair
    // "Centrer ici" moves the view, as any move, in one undo step.
    w.Choose({540, 300}, kCentre); // x = 5 comes to the middle
    EXPECT_DOUBLE_EQ((w.Context().area.areaXMin + w.Context().area.areaXMax) / 2, 5);
    EXPECT_TRUE(w.doc->IsModified());
    w.doc->UndoStack().undo();
    EXPECT_FALSE(w.doc->IsModified());
}

} // namespace
