#pragma once

#include <QListView>
#include <QStringList>

#include <functional>

namespace forms {

class LineModel;

// A list of text lines over a plain string model with uniform line heights,
// so that very long lists load fast. One line at most is selected. The lines
// may also come from a function that gives line i when it is first needed
// (shown, read or searched): a long list then opens without making every
// line's text first.
// clicked() comes from the user only: a mouse click on a line (also on the
// line already selected) or a move of the selection by keyboard.
class ListBox : public QListView {
    Q_OBJECT
    Q_PROPERTY(int lineHeight READ lineHeight WRITE setLineHeight)
public:
    explicit ListBox(QWidget* parent = nullptr);

    void addLine(const QString& line);
    void setLines(QStringList lines);
    void setLines(int count, std::function<QString(int)> lineAt);
    void replaceLine(int i, const QString& line);
    void clear();
    int count() const;
    QString line(int i) const;

    int selectedIndex() const;
    void setSelectedIndex(int i);

    int lineHeight() const;
    void setLineHeight(int pixels);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void emitIfMoved(int before);

    LineModel* model_;
    int lineHeight_ = 0;
};

} // namespace forms
