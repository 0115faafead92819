// The secondary rectifier's picture: each of the two rectifiers is a plain
// diode or a synchronous rectifier, chosen on a click; OK wants both alike.
#include <memory>
#include <new>

#include "circuit/SecSec.h"
#include "records/Utils.h"
#include "schematics/SchemParts.h"
#include "setup/RectDlg.h"

using namespace schem;

namespace {

constexpr UINT kModuleSecSecDg = 56074;
using S = CSecondarySection;

template <int N>
BOOL EditRectifier(CSection& section, const char*, const SchematicContext&) {
    S& s = static_cast<S&>(section);
    CDiode& diode = N == 1 ? s.GetDiodeRectifier1() : s.GetDiodeRectifier2();
    CTransistorFE& fet = N == 1 ? s.GetTransistorRectifier1() : s.GetTransistorRectifier2();
    const int32_t kind = N == 1 ? s.GetRectifier1Kind() : s.GetRectifier2Kind();
    auto setKind = [&s](int32_t k) { N == 1 ? s.SetRectifier1Kind(k) : s.SetRectifier2Kind(k); };

    int choice = fw::IDCANCEL;
    CRectifierDlg ask(&choice, IDD_RECTIFIER, N == 1 ? "Rectifier 1" : "Rectifier 2", nullptr);
    ask.DoModal();
    if (choice == IDC_RECT_NON_SYNCHRONOUS) {
        std::unique_ptr<CDiode> copy(new (std::nothrow) CDiode);
        if (!copy) {
            ReportMessage(52094, TRUE);
            return FALSE;
        }
        *copy = diode;
        CDiodeRectifierDlg dlg(copy.get(), IDD_DIODE_RECTIFIER, N == 1 ? "Diode 1" : "Diode 2", nullptr);
        if (dlg.DoModal() != fw::IDOK || (kind == S::NON_SYNCHRONOUS && !(*copy != diode))) return FALSE;
        setKind(S::NON_SYNCHRONOUS);
        diode = *copy;
        return TRUE;
    }
    if (choice == IDC_RECT_SYNCHRONOUS) {
        std::unique_ptr<CDiode> d(new (std::nothrow) CDiode);
        std::unique_ptr<CTransistorFE> t(new (std::nothrow) CTransistorFE);
        if (!d || !t) {
            ReportMessage(52094, TRUE);
            return FALSE;
        }
        *d = diode;
        *t = fet;
        CSynchronousRectifierDlg dlg(d.get(), t.get(), N == 1 ? "Synchronous Rectifier 1" : "Synchronous Rectifier 2",
                                     IDD_SYNCHRONOUS_RECTIFIER, nullptr);
        if (dlg.DoModal() != fw::IDOK || (kind == S::SYNCHRONOUS && !(*d != diode) && !(*t != fet))) return FALSE;
        setKind(S::SYNCHRONOUS);
        diode = *d;
        fet = *t;
        return TRUE;
    }
    return FALSE;
}

template <int N>
std::string KindLabel(CSection& section) {
    const S& s = static_cast<S&>(section);
    return (N == 1 ? s.GetRectifier1Kind() : s.GetRectifier2Kind()) == S::NON_SYNCHRONOUS ? "Non Sync" : "Sync";
}

bool BothAlike(CSection& section) {
    S& s = static_cast<S&>(section);
    if (s.GetRectifier1Kind() == S::NON_SYNCHRONOUS && s.GetRectifier2Kind() == S::NON_SYNCHRONOUS) {
        s.SetSynchronous(FALSE);
        return true;
    }
    if (s.GetRectifier1Kind() == S::SYNCHRONOUS && s.GetRectifier2Kind() == S::SYNCHRONOUS) {
        s.SetSynchronous(TRUE);
        return true;
    }
    ReportMessage(53016, TRUE);
    return false;
}

}  // namespace

const std::vector<SchematicClass>& SecondarySectionSchematics() {
    static const std::vector<SchematicClass> classes = [] {
        SchematicClass c{SectionKind::SecondarySection,
                         0,
                         51640,
                         1,
                         kModuleSecSecDg,
                         4600,
                         {{nullptr, &EditRectifier<1>, Symbol::Diode}, {nullptr, &EditRectifier<2>, Symbol::Diode}},
                         {{1, &KindLabel<1>}, {3, &KindLabel<2>}}};
        c.okCheck = &BothAlike;
        return std::vector<SchematicClass>{c};
    }();
    return classes;
}
