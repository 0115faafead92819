// The picture dialogs, the winding connections, the choke coupling and the
// Circuit dialog as real windows: every control inside, texts whole, the
// picture and its labels painted; pictures stay in /tmp for a look.
#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetrics>
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>
#include <functional>

#include "WindowChecks.h"
#include "app/CircuitDlg.h"
#include "circuit/CircuitTestSupport.h"
#include "circuit/CtlSec.h"
#include "circuit/Doc.h"
#include "circuit/InCap.h"
#include "designs/Designs.h"
#include "circuit/LdNet.h"
#include "circuit/LinFil.h"
#include "circuit/LinRec.h"
#include "circuit/OptoIso.h"
#include "circuit/OutChk.h"
#include "circuit/OutFil1.h"
#include "circuit/OutFil2.h"
#include "circuit/PriSec.h"
#include "circuit/Require.h"
#include "circuit/SecSec.h"
#include "circuit/VErAmp.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtServices.h"
#include "schematics/Pictures.h"
#include "schematics/SchemDlg.h"
#include "schematics/WndConDg.h"
#include "setup/OutChkCplDg.h"

namespace {

QImage Show(fw::Dialog& dlg, const std::string& name) {
    EXPECT_TRUE(dlg.Create(nullptr)) << name;
    auto* window = static_cast<fw::qt::QtDialog*>(fw::qt::WidgetOf(&dlg));
    if (!window) return {};
    window->show();
    const QRect client = window->rect();
    for (const auto& c : dlg.Controls()) {
        QWidget* w = window->ControlWidget(c->GetDlgCtrlID());
        if (!w || c->GetDlgCtrlID() == fw::IDC_STATIC) continue;
        EXPECT_TRUE(client.contains(w->geometry())) << name << " control " << c->GetDlgCtrlID();
    }
    ExpectTextsFit(window, name);
    QImage img = window->grab().toImage();
    EXPECT_TRUE(img.save(QString::fromStdString("/tmp/pq-" + name + ".png")));
    return img;
}

int Darker(const QImage& img, const QRect& r, int below) {
    int n = 0;
    for (int y = std::max(0, r.top()); y <= std::min(img.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(img.width() - 1, r.right()); ++x)
            n += qGray(img.pixel(x, y)) < below ? 1 : 0;
    return n;
}

int Dark(const QImage& img, const QRect& r) { return Darker(img, r, 96); }

TEST(QtSchematics, PictureDialogShowsPictureAndLabels) {
    fw::qt::QtUi ui;
    const struct {
        SectionKind kind;
        WORD topology;
        const char* name;
    } cases[] = {{SectionKind::LineFilter, 8, "schematic-line-filter-8"},
                 {SectionKind::ControlSection, 0, "schematic-control-0"}};
    for (const auto& c : cases) {
        std::unique_ptr<CSection> section;
        if (c.kind == SectionKind::LineFilter) section = std::make_unique<CLineFilter>();
        else section = std::make_unique<CControlSection>();
        SchematicDialogArgs args;
        args.pictureId = SchematicPictureId(c.kind, c.topology);
        args.listId = SchematicListId(c.kind, c.topology);
        CSectionSchematicDlg dlg(*FindSchematicClass(c.kind, c.topology), section.get(), args);
        QImage img = Show(dlg, c.name);
        ASSERT_FALSE(img.isNull());
        // Every label strip has the label's ink in it.
        for (const SchematicLabel& l : dlg.GetClass().labels) {
            const fw::Rect r = dlg.GetHotSpot(l.record).GetRect();
            EXPECT_GT(Dark(img, QRect(r.left, r.top, r.Width() + 20, r.Height() + 6)), 0)
                << c.name << " label at record " << l.record;
        }
        dlg.DestroyWindow();
    }
}

std::unique_ptr<CSection> NewSection(SectionKind kind) {
    switch (kind) {
    case SectionKind::LineFilter: return std::make_unique<CLineFilter>();
    case SectionKind::LineRectifier: return std::make_unique<CLineRectifier>();
    case SectionKind::InputCapacitor: return std::make_unique<CInputCapacitor>();
    case SectionKind::PrimarySection: return std::make_unique<CPrimarySection>();
    case SectionKind::SecondarySection: return std::make_unique<CSecondarySection>();
    case SectionKind::OutputChoke: return std::make_unique<COutputChoke>();
    case SectionKind::FirstStageOutputFilter: return std::make_unique<C1StgOutputFilter>();
    case SectionKind::SecondStageOutputFilter: return std::make_unique<C2StgOutputFilter>();
    case SectionKind::LoadNetwork: return std::make_unique<CLoadNetwork>();
    case SectionKind::VoltageErrorAmp: return std::make_unique<CVoltageErrorAmp>();
    case SectionKind::OptoIsolator: return std::make_unique<COptoIsolator>();
    case SectionKind::ControlSection: return std::make_unique<CControlSection>();
    }
    return nullptr;
}

// Every variant's dialog at its parts' presets: each value label lies whole
// inside the white picture, on no line of it (the label's room, as the
// label font measures the text, holds no ink). With PQ_CONTACT_DIR set, the
// dialogs are kept there as PNG files to be looked at.
TEST(QtSchematics, EveryLabelLiesInsideItsPictureOffTheLines) {
    fw::qt::QtUi ui;
    const char* keep = std::getenv("PQ_CONTACT_DIR");
    if (keep) QDir().mkpath(keep);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    const QFontMetrics fm(font);
    CRequirements requirements;
    for (const SchematicClass* cls : AllSchematicClasses()) {
        const UINT pictureId = SchematicPictureId(cls->kind, cls->topology);
        SCOPED_TRACE(pictureId);
        std::unique_ptr<CSection> section = NewSection(cls->kind);
        ASSERT_TRUE(section);
        SchematicDialogArgs args;
        args.pictureId = pictureId;
        args.listId = SchematicListId(cls->kind, cls->topology);
        args.requirements = &requirements;
        args.output = 1;
        CSectionSchematicDlg dlg(*cls, section.get(), args);
        fw::Image picture;
        ASSERT_TRUE(LoadSectionPicture(pictureId, picture));
        for (const SchematicLabel& l : cls->labels) {
            const fw::Rect at = dlg.GetHotSpot(l.record).GetRect();
            const QString text = QString::fromStdString(l.text(*section));
            // Where the text's ink can fall, less the last pixel column of a
            // wide glyph's bearing.
            const QRect room(at.left - kPictureX, at.top - kPictureY, fm.horizontalAdvance(text), fm.height());
            EXPECT_LE(room.right(), picture.Width() - 4) << text.toStdString();
            EXPECT_LE(room.bottom(), picture.Height() - 2) << text.toStdString();
            int ink = 0;
            for (int y = std::max(0, room.top()); y <= std::min(picture.Height() - 1, room.bottom()); ++y)
                for (int x = std::max(0, room.left()); x <= std::min(picture.Width() - 1, room.right()); ++x)
                    ink += picture.Pixel(x, y) != 0xFFFFFFFFu ? 1 : 0;
            EXPECT_EQ(ink, 0) << "under \"" << text.toStdString() << "\"";
        }
        if (keep) {
            ASSERT_TRUE(dlg.Create(nullptr));
            auto* window = static_cast<fw::qt::QtDialog*>(fw::qt::WidgetOf(&dlg));
            window->show();
            QImage shot = window->grab().toImage();
            shot.save(QString("%1/%2.png").arg(keep).arg(pictureId));
            QPainter p(&shot);  // and with the click rectangles outlined
            for (int i = 0; i < dlg.GetHotSpotCount(); ++i) {
                const fw::Rect r = dlg.GetHotSpot(i).GetRect();
                p.setPen(QColor::fromHsv(dlg.GetHotSpot(i).GetGroup() * 67 % 360, 200, 220));
                p.drawRect(r.left, r.top, r.Width() - 1, r.Height() - 1);
            }
            p.end();
            shot.save(QString("%1/%2-r.png").arg(keep).arg(pictureId));
            dlg.DestroyWindow();
        }
    }
    if (!keep) return;
    // Designs to try the program on, beside the sheets.
    for (const RegressionDesign& d : RegressionDesigns())
        WriteRegressionDesign(d, std::string(keep) + "/" + d.name + ".SEF");
    // The contact sheets: six dialogs a page, in picture order.
    const std::vector<UINT> ids = AllPictureIds();
    for (size_t first = 0; first < ids.size(); first += 6) {
        QImage sheet(2 * 780, 3 * 560, QImage::Format_RGB32);
        sheet.fill(Qt::darkGray);
        QPainter p(&sheet);
        for (size_t i = first; i < std::min(ids.size(), first + 6); ++i) {
            const QImage one(QString("%1/%2.png").arg(keep).arg(ids[i]));
            const int x = int((i - first) % 2) * 780, y = int((i - first) / 2) * 560;
            p.drawImage(x + 4, y + 18, one.copy(0, 0, 772, 538));
            p.setPen(Qt::white);
            p.drawText(x + 6, y + 14, QString::number(ids[i]));
        }
        p.end();
        sheet.save(QString("%1/sheet-%2.png").arg(keep).arg(first / 6 + 1));
    }
}

TEST(QtSchematics, WindingCouplingAndCircuitWindows) {
    fw::qt::QtUi ui;
    circuit_test::FakeDoc doc;
    for (int i = 0; i < 4; ++i) doc.requirements.GetOutput(i)->SetEnabled(TRUE);
    doc.requirements.CheckOutputs(FALSE);
    CPwrTransformer xfmr;
    CSecondaryWindingConnectionsDlg winding(&xfmr, &doc.requirements, nullptr);
    QImage img = Show(winding, "winding-connections");
    EXPECT_GT(Dark(img, QRect(kPictureX, kPictureY, 150, 300)), 100) << "the winding drawing";
    winding.DestroyWindow();

    COutputChokeMutualInd coupling;
    COutputChokeCouplingDlg cpl(&coupling, IDD_OUTPUT_CHOKE_COUPLING, nullptr);
    Show(cpl, "choke-coupling");
    cpl.DestroyWindow();
}

TEST(QtSchematics, CircuitWindowDrawsEachChosenSection) {
    fw::qt::QtUi ui;
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    doc.GetLineFilter()->SetTopology(4);
    doc.GetControlSection()->SetTopology(0);
    doc.GetPrimarySection()->SetTopology(6);
    doc.GetRequirements()->GetOutput(0)->SetEnabled(TRUE);
    doc.GetSecondarySection1()->SetTopology(0);
    doc.GetOutputChoke1()->SetTopology(1);
    doc.GetLoadNetwork1()->SetTopology(2);
    CCircuitDlg circuit(&doc);
    QImage img = Show(circuit, "circuit");
    ASSERT_FALSE(img.isNull());
    auto* window = static_cast<fw::qt::QtDialog*>(fw::qt::WidgetOf(&circuit));
    for (int id : {1900, 1906, 1930}) {  // a picture, a section not chosen, the control section
        const QRect r = window->ControlWidget(id)->geometry();
        // Shrunk pictures are averaged down: their lines show grey, not black.
        EXPECT_GT(Darker(img, r, 200), 0) << id;
    }
    // The hand over a picture that opens on a click, the arrow over one that does not.
    for (const auto& [id, shape] : {std::pair{1900, Qt::PointingHandCursor}, std::pair{1906, Qt::ArrowCursor},
                                    std::pair{1907, Qt::PointingHandCursor}}) {
        QWidget* button = window->ControlWidget(id);
        const QPointF at(button->width() / 2, button->height() / 2);
        QMouseEvent move(QEvent::MouseMove, at, button->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &move);
        EXPECT_EQ(button->cursor().shape(), shape) << id;
    }
    circuit.DestroyWindow();
}

}  // namespace
