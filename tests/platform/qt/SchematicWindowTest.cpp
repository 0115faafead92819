// The picture dialogs, the winding connections, the choke coupling and the
// Circuit dialog as real windows: every control inside, texts whole, the
// picture and its labels painted; pictures stay in /tmp for a look.
#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "WindowChecks.h"
#include "app/CircuitDlg.h"
#include "circuit/CircuitTestSupport.h"
#include "circuit/CtlSec.h"
#include "circuit/Doc.h"
#include "circuit/LinFil.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtServices.h"
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
    CCircuitDlg circuit(&doc);
    QImage img = Show(circuit, "circuit");
    ASSERT_FALSE(img.isNull());
    auto* window = static_cast<fw::qt::QtDialog*>(fw::qt::WidgetOf(&circuit));
    for (int id : {1900, 1906, 1930}) {  // a picture, a section not chosen, the control section
        const QRect r = window->ControlWidget(id)->geometry();
        // Shrunk pictures are averaged down: their lines show grey, not black.
        EXPECT_GT(Darker(img, r, 200), 0) << id;
    }
    circuit.DestroyWindow();
}

}  // namespace
