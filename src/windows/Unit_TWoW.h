#pragma once

// Command 3: two rich-text panes side by side, each opened from and saved to
// a file of its own.

#include <QMainWindow>

#include <memory>
#include <string>

class QAction;
class QFrame;
class QSplitter;
class QTextEdit;
class QToolBar;
class QToolButton;

// The two-pane editor, the application's main window while command 3 runs.
// The left pane's width is kept for the user between runs.
class TfrmTWoW : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmTWoW(QWidget* parent = nullptr);

    // With true, the hourglass for the whole application; with false, the
    // cursor of each window again.
    static void SetBusyCursor(bool flag);

    QToolBar* RzToolbar1;
    QToolButton* RzToolButton1; // "Открыть файл"
    QToolButton* RzToolButton2; // "Сохранить файл"
    QAction* N1;
    QAction* N2;
    QAction* MenuItem1;
    QAction* MenuItem2;
    QSplitter* RxSplitter1;
    QFrame* pnlLEFT;
    QTextEdit* reLEFT;
    QFrame* pnlRIGHT;
    QTextEdit* reRIGHT;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void N1Click();
    void N2Click();
    void MenuItem1Click();
    void MenuItem2Click();

private:
    void buildToolbar();
    void buildPanes();
    void openInto(QTextEdit& pane);
    void saveFrom(QTextEdit& pane);
    void restorePlacement();
    void storePlacement() const;

    // The file last chosen in each dialog, whichever pane it was for.
    std::string openDialogFileName_;
    std::string saveDialogFileName_;
    bool placed_ = false;
};

// The window of command 3 while it runs.
extern std::unique_ptr<TfrmTWoW> frmTWoW;

// The command entry: creates frmTWoW as the main window and returns when the
// window has been closed.
void ShowTWoW();
