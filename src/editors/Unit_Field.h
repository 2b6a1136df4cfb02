#pragma once

// The field dialog: one field of a table definition entered or changed, its
// name, description, type, key kind and foreign-key target. The dialog checks
// only that a name and a type are given; the object editor fills it before it
// is shown and reads its result after it closed with OK.

#include <QDialog>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// A foreign key's target: a table name and a field name.
struct TFieldTarget {
    std::string RefTable;
    std::string RefField;
    bool operator==(const TFieldTarget&) const = default;
};

// The target that a target text names: the text before its first "." and
// the rest after it; nothing for an empty text or one without a ".".
std::optional<TFieldTarget> TargetOfText(const std::string& text);

class TForm2 : public QDialog {
    Q_OBJECT

public:
    // The dialog's outer size, border and caption included; it never changes.
    static constexpr int OuterWidth = 352;
    static constexpr int OuterHeight = 371;
    // Its placement is kept under this form name (organisation "Zef").
    static const char* const PlacementName;

    explicit TForm2(QWidget* parent = nullptr);

    // The entries of cbFOR_TABLE, in the order given, duplicates kept; none
    // is chosen and the target text is empty.
    void SetTargets(const std::vector<std::string>& targets);

    // 3 when both boxes are ticked, else 2 for "Внешний ключ", else 1 for
    // "Первичный ключ", else 0.
    std::uint8_t GetKeyKind() const;
    // The name exactly as typed, blanks included.
    std::string ResultName() const;
    // The chosen type; empty when none is chosen.
    std::string ResultTypeName() const;
    std::string ResultDescription() const;
    // The target of cbFOR_TABLE's text, whether the box is enabled or not.
    std::optional<TFieldTarget> ResultTarget() const;

    QFrame* Panel1;
    QLabel* Label1;
    QLineEdit* edtNAME;
    QLabel* Label2;
    QLineEdit* edtDESC;
    QLabel* Label3;
    QComboBox* cbTYPE;
    QCheckBox* cbPK;
    QCheckBox* cbForKey;
    QLabel* Label4;
    QComboBox* cbFOR_TABLE;
    QPushButton* RzBitBtn1;
    QPushButton* RzBitBtn2;

public slots:
    // The target box is enabled, and its label black, exactly while
    // "Внешний ключ" is ticked; its text stays either way.
    void cbForKeyClick();
    // OK: refuses an empty name (blanks and control characters do not
    // count), then a missing type, each with its message; else closes with OK.
    void btnADDClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Every way of closing the dialog keeps its placement for the next time.
    void done(int result) override;

private:
    // Fills cbTYPE with the field type names, none chosen.
    void FormCreate();
    void holdOuterSize();

    bool placed_ = false;
};
