// Any dialog model as a real Qt window: one widget per control of its form,
// kept in step with the model both ways.
#pragma once

#include <QDialog>
#include <QFont>
#include <map>
#include <vector>

#include "platform/ui/Dialog.h"

namespace fw::qt {

// The font every form is laid out in, and its dialog base units.
QFont DialogFont();
DialogUnits DialogBaseUnitsOf(const QFont& font);

class QtDialog : public QDialog, public DialogHost {
public:
    // Builds the window for the model (which must have a form); the model is
    // initialised (OnInitDialog) before the call returns. parent: the owner.
    QtDialog(Dialog& model, QWidget* parent, bool modal);
    ~QtDialog() override;

    // For tests and the window system: the widget of a control id.
    QWidget* ControlWidget(int id) const;
    Dialog& Model() { return model_; }

    // DialogHost.
    void TitleChanged() override;
    void GeometryChanged() override;
    void VisibilityChanged() override;
    void Invalidate(bool erase) override;
    void UpdateNow() override;
    void CursorChanged() override;
    void BringToFront() override;
    void Destroy() override;
    void ControlChanged(int id) override;
    void ControlGeometryChanged(int id) override;
    void FocusChanged(int id) override;
    void EndModal(int result) override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void reject() override;

private:
    void BuildWidgets();
    void SyncControl(const Control& c);
    void OnFocusChanged(QWidget* now);
    int IdOf(QWidget* w) const;

    Dialog& model_;
    bool modal_;
    bool syncing_ = false;
    bool destroyed_ = false;
    std::map<int, QWidget*> widgets_;
    std::vector<QWidget*> all_;
    QMetaObject::Connection focusConnection_;  // in the order of the model's controls
};

}  // namespace fw::qt
