#include "support/drawn_contrast.h"
#include "support/window_fixture.h"
#include "ui/display_text.h"
#include "ui/report_row_delegate.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <cstdio>

namespace quillmark {
namespace {

QPalette paletteWith(QColor window, QColor text, QColor base, QColor highlight)
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, highlight);
    return palette;
}

struct Drawn {
    QString what;
    double ratio;
    double needed; // 4.5 for text, 3 for a mark that is not text
};

// Measures what the window draws, in pixels: every text at 4.5:1 at least against what it is
// drawn on, every focus ring and meaningful bar at 3:1, on light, dark and high-contrast palettes.
// QUILLMARK_CONTRAST_TABLE=1 prints the figures.
class DrawnContrastTest : public test::WindowFixture,
                          public ::testing::WithParamInterface<std::pair<const char*, QPalette>> {
protected:
    void SetUp() override
    {
        m_original = QApplication::palette();
        QApplication::setPalette(GetParam().second);
    }
    void TearDown() override
    {
        view.reset();
        QApplication::setPalette(m_original);
    }

    // The widget, or the part of it, as it stands in a picture of the whole window.
    QRect inWindow(const QWidget* widget, QRect part = {}) const
    {
        if (part.isNull())
            part = widget->rect();
        return part.translated(widget->mapTo(view.get(), QPoint(0, 0)));
    }
    void measure(const QString& what, const QRect& area, double needed = 4.5)
    {
        const QImage picture = view->grab().toImage();
        m_drawn.push_back(Drawn{what, test::drawnContrast(picture, area), needed});
    }
    void measureLabel(const QString& text, double needed = 4.5)
    {
        for (QLabel* label : view->findChildren<QLabel*>()) {
            if (label->isVisible() && label->text() == text) {
                measure(text, inWindow(label), needed);
                return;
            }
        }
        ADD_FAILURE() << "no label " << text.toStdString();
    }
    // The parts of a row of the report, as its delegate lays them out.
    void measureRow(const QString& what, QTreeView* tree, const QModelIndex& index)
    {
        QStyleOptionViewItem option;
        option.rect = tree->visualRect(index);
        const RowLayout parts = ReportRowDelegate::layout(option, index);
        const QPoint origin = tree->viewport()->mapTo(view.get(), QPoint(0, 0));
        auto at = [&origin](QRect rect) { return rect.translated(origin); };
        measure(what + QStringLiteral(": name"), at(parts.name));
        if (!parts.label.isEmpty())
            measure(what + QStringLiteral(": total or duration"),
                    at(parts.label.adjusted(2, 2, -2, -2)));
        if (!parts.subtree.isEmpty())
            measure(what + QStringLiteral(": subtree total"), at(parts.subtree));
        if (!parts.shareBar.isEmpty())
            measure(what + QStringLiteral(": share bar"),
                    at(parts.shareBar.toAlignedRect().adjusted(0, -3, 0, 3)), 3.0);
    }

    std::vector<Drawn> m_drawn;

private:
    QPalette m_original;
};

TEST_P(DrawnContrastTest, TextAndMarksReadAsDrawn)
{
    makeTree();
    open();
    measureLabel(QStringLiteral("Nessuna analisi ancora"));
    auto* calculate = find<QPushButton>("calculateButton");
    measure(QStringLiteral("Calcola"), inWindow(calculate).adjusted(4, 4, -4, -4));
    calculate->setFocus();
    // The ring against the window around the button.
    measure(QStringLiteral("focus ring of Calcola"),
            inWindow(calculate, QRect(0, 0, calculate->width(), 3)).adjusted(-2, -3, 2, 0), 3.0);

    vm().setFolderPath(viaggi());
    vm().calculate();
    QTest::qWait(50);
    measure(QStringLiteral("running page's line"), inWindow(find<QWidget>("runningStatus")));
    finishRun();
    for (const QString& text :
         {QStringLiteral("Estensioni"), QStringLiteral("GRAN TOTALE"), QStringLiteral("ANALIZZATI"),
          QStringLiteral("0h02m"), QStringLiteral("3 video · 2 cartelle"),
          QStringLiteral("REPORT PER CARTELLA")})
        measureLabel(text);
    measure(QStringLiteral("extension chip"),
            inWindow(find<QWidget>("extensionChips")->findChild<QWidget*>()));
    measure(QStringLiteral("status line"), inWindow(find<QWidget>("statusText")));
    auto* link = find<QWidget>("countCard")->findChild<QWidget*>(QStringLiteral("summaryLink"));
    measure(QStringLiteral("error link"), inWindow(link));
    link->setFocus();
    measure(QStringLiteral("focus ring of the error link"), inWindow(link), 3.0);

    auto* tree = find<QTreeView>("folderList");
    const QModelIndex top = tree->model()->index(0, 0);
    tree->expand(tree->model()->index(2, 0, top));
    measureRow(QStringLiteral("open folder"), tree, top);
    measureRow(QStringLiteral("file"), tree, tree->model()->index(0, 0, top));
    measureRow(QStringLiteral("file in error"), tree, tree->model()->index(1, 0, top));
    measureRow(QStringLiteral("subfolder"), tree, tree->model()->index(2, 0, top));
    tree->selectAll();
    measureRow(QStringLiteral("selected folder"), tree, top);
    measureRow(QStringLiteral("selected file in error"), tree, tree->model()->index(1, 0, top));
    measureLabel(find<QLabel>("selectionTotal")->text());
    tree->setFocus();
    tree->clearSelection();
    tree->setCurrentIndex(tree->model()->index(0, 0, top));
    measure(QStringLiteral("focus ring of a row"),
            inWindow(tree->viewport(),
                     tree->visualRect(tree->currentIndex())
                         .adjusted(0, 0, 0, -tree->visualRect(tree->currentIndex()).height() + 3)),
            3.0);

    for (const Drawn& drawn : m_drawn) {
        EXPECT_GE(drawn.ratio, drawn.needed)
            << GetParam().first << ": " << drawn.what.toStdString();
        if (qEnvironmentVariableIsSet("QUILLMARK_CONTRAST_TABLE"))
            std::printf("| %s | %s | %.2f:1 |\n", GetParam().first, drawn.what.toUtf8().constData(),
                        drawn.ratio);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Palettes, DrawnContrastTest,
    ::testing::Values(std::pair{"light", QApplication::palette()},
                      std::pair{"dark", paletteWith(QColor(40, 42, 46), QColor(230, 230, 230),
                                                    QColor(30, 31, 34), QColor(61, 174, 233))},
                      std::pair{"high contrast",
                                paletteWith(Qt::black, Qt::white, Qt::black, QColor(26, 235, 255))},
                      std::pair{"light, yellow highlight",
                                paletteWith(QColor(246, 245, 244), QColor(46, 52, 54), Qt::white,
                                            QColor(246, 211, 45))}),
    [](const auto& info) {
        return std::string(info.index == 0   ? "light"
                           : info.index == 1 ? "dark"
                           : info.index == 2 ? "high_contrast"
                                             : "yellow_highlight");
    });

TEST(DisplayTextTest, NamesAndTooltipsReadWell)
{
    EXPECT_EQ(displayedName(QStringLiteral("a\u2424b\u240Dc")), QStringLiteral("a\u23CEb\u21A9c"));

    const QString path = QStringLiteral("/media/") + QString(30, QLatin1Char('a')) +
                         QStringLiteral("/") + QString(30, QLatin1Char('b')) +
                         QStringLiteral("/film.mkv");
    const QString tip = tooltipText(path);
    const QStringList lines =
        tip.mid(tip.indexOf(QLatin1Char('>')) + 1).chopped(4).split(QStringLiteral("<br>"));
    EXPECT_EQ(lines.join(QString()), path); // broken after slashes, nothing lost
    for (const QString& line : lines)
        EXPECT_LE(line.size(), 60) << line.toStdString();

    // A path of thousands of characters keeps its start and its end.
    const QString longPath =
        QStringLiteral("/inizio/") + QString(4000, QLatin1Char('x')) + QStringLiteral("/fine.mkv");
    const QString longTip = tooltipText(longPath);
    EXPECT_LT(longTip.size(), 700);
    EXPECT_TRUE(longTip.contains(QStringLiteral("/inizio/")));
    EXPECT_TRUE(longTip.contains(QStringLiteral("fine.mkv")));
    EXPECT_TRUE(tooltipText(QStringLiteral("<b>&")).contains(QStringLiteral("&lt;b&gt;&amp;")));
}

} // namespace
} // namespace quillmark
