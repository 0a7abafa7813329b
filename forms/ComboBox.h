#pragma once

#include <QComboBox>

namespace forms {

// Editable drop-down list. Items keep their order; eight show when it drops
// down. Nothing is selected and the edit part is empty at start, also after
// items were added to an empty box. Typing never selects or inserts an item.
// changed() comes from user input only: a choice by mouse, stepping by
// keyboard or wheel, or an edit of the text; never from code.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent = nullptr);

    // Always editable: makes the edit part if it is not there yet (the
    // argument is there for the layouts, which all say true).
    void setEditable(bool editable);

    int selectedIndex() const;
    void setSelectedIndex(int i);
    QString selectedText() const;

    QString text() const;
    void setText(const QString& text);

    void clearSelection();
    void deleteItem(int i);
    void writeItem(int i, const QString& text);
    void addItemText(const QString& text);

signals:
    void changed();

protected:
    bool event(QEvent* event) override;

private:
    void detachTextMatching();
    void onTextEdited();
    void onRowsAboutToBeInserted();
    void onRowsInserted();
    void unselectKeepingText(const QString& text);

    bool fillingEmptyBox_ = false;
    QString textBeforeFill_;
};

} // namespace forms
