// A section picture printed through Qt's print support to a PDF file: one
// page, the header naming the section, and the picture whole on the page.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>

#include "app/CircuitPage.h"
#include "app/DesignDoc.h"
#include "app/Morvane.h"
#include "app/View.h"
#include "platform/qt/QtServices.h"
#include "schematics/Pictures.h"

namespace {

QString Tool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000) || !p.waitForFinished(20000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(QtCircuitPrint, OnePageWithThePictureWhole) {
    fw::qt::QtUi ui;
    const std::string pdf = "/tmp/pq-circuit-page.pdf";
    std::remove(pdf.c_str());
    ui.printing.SetPdfOutput(pdf);
    ui.printing.SetResolution(600);

    CDesignDocFactory designs;
    CPwrQuorraApp app;
    app.SetDocumentFactory(&designs);
    app.OnFileNew();
    ASSERT_NE(app.GetDocument(), nullptr);
    CCircuitPage page;
    CPwrQuorraView::SetCircuitPagePrinter(&page);
    CPwrQuorraView view(app);
    view.PrintItem(408, 51558, 0);  // the widest line filter picture
    CPwrQuorraView::SetCircuitPagePrinter(nullptr);

    QFile f(QString::fromStdString(pdf));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_TRUE(f.read(5) == "%PDF-");
    f.close();
    const QString info = Tool(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf)});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.toStdString();
    const QString text = Tool(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Line Filter: 2 Stage Complex Filter")) ||
                text.contains(QStringLiteral("Line Filter:  2 Stage Complex Filter")))
        << text.toStdString();

    // At 100 dpi the picture's ink lies below the header and inside the
    // page, and reaches about its natural width (one inch per 96 pixels).
    const QString png = QStringLiteral("/tmp/pq-circuit-page");
    Tool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-gray"),
                                      QStringLiteral("-png"), QStringLiteral("-singlefile"),
                                      QString::fromStdString(pdf), png});
    QImage img(png + QStringLiteral(".png"));
    ASSERT_FALSE(img.isNull());
    fw::Image picture;
    ASSERT_TRUE(LoadSectionPicture(408, picture));
    int left = img.width(), right = -1, bottom = -1;
    for (int y = img.height() / 4; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "no picture on the page";
    EXPECT_LT(right, img.width() - 40);   // inside the half-inch margin
    EXPECT_LT(bottom, img.height() - 40);
    EXPECT_GT(right - left, picture.Width() * 100 / 96 / 2);
}

}  // namespace
