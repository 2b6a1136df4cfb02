#pragma once

// Command 8: the about window of КАЛЕМАР with the version of the running
// executable.

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

// The fixed about window: a gradient background with the product's name,
// tagline, version, authors and contact address, and a button that closes it.
class TfrmSplash : public QDialog {
    Q_OBJECT

public:
    explicit TfrmSplash(QWidget* parent = nullptr);

    QWidget* RzBackground1;
    QLabel* RzLabel2;
    QLabel* RzLabel3;
    QLabel* RzLabel4;
    QLabel* lbVERSION;
    QLabel* RzLabel1;
    QLabel* RzURLLabel1;
    QPushButton* RzButton1;

private slots:
    void RzButton1Click();
};

// The window of the run of command 8, while it is shown.
extern std::unique_ptr<TfrmSplash> frmSplash;

// The command entry: shows the about window with VersionCaption() modally
// until it is closed.
void ShowAbout();
