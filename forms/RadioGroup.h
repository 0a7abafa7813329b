#pragma once

#include <QList>
#include <QObject>

class QAbstractButton;
class QButtonGroup;
class QRadioButton;

namespace forms {

// Radio buttons as one exclusive group. selected(index) comes only when the
// user makes a button the selected one (mouse or keyboard); a click on the
// button already selected, and any change made by code, raise nothing.
// Only the selected button is a Tab stop, none while none is selected; the
// others still take the focus by a click.
class RadioGroup : public QObject {
    Q_OBJECT
public:
    explicit RadioGroup(QList<QRadioButton*> buttons, QObject* parent = nullptr);

    int checkedIndex() const;

signals:
    void selected(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onClicked(QAbstractButton* button);
    void updateTabStops();

    QButtonGroup* group_;
    int checkedAtUserInput_ = -1;
    bool userInput_ = false;
};

} // namespace forms
