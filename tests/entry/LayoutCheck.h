#pragma once
// Checks of a window against its fixed layout, shared by the window tests.
// Each returns an empty text when the control matches, otherwise what differs.

#include "forms/ComboBox.h"
#include "forms/Fonts.h"
#include "forms/ListBox.h"

#include <QApplication>
#include <QDateEdit>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTest>
#include <QDialog>
#include <QTimer>

namespace layoutcheck {

// One control as the layout gives it. kind: "label" (sunken, centred),
// "left label" (sunken, left-aligned), "text" (no border), "edit", "combo",
// "button", "radio", "list", "panel", "date". An empty text is not checked
// for kinds without a caption of their own.
struct Control {
    const char* name;
    const char* kind;
    const char* parent;
    QRect rect;
    const char* text;
    int px;
    bool bold;
    const char* family;
    const char* color;        // "" when the layout gives none
    const char* background;   // "" when the layout gives none
};

inline const char* const kGothic = "ＭＳ Ｐゴシック";
inline const char* const kMincho = "ＭＳ Ｐ明朝";
inline const char* const kMaru = "HG丸ｺﾞｼｯｸM-PRO";

inline QString differs(const char* what, const QString& got, const QString& want)
{
    return QStringLiteral("%1: got \"%2\", want \"%3\"").arg(QLatin1String(what), got, want);
}

inline QString frameMismatch(const QFrame* frame, QFrame::Shape shape, QFrame::Shadow shadow)
{
    if (frame->frameShape() != shape || frame->frameShadow() != shadow)
        return QStringLiteral("frame %1/%2").arg(frame->frameShape()).arg(frame->frameShadow());
    return {};
}

inline QString labelMismatch(const QWidget* w, QFrame::Shape shape, Qt::Alignment align)
{
    const auto* label = qobject_cast<const QLabel*>(w);
    if (!label)
        return QStringLiteral("not a label");
    if (shape == QFrame::NoFrame)
        return label->frameShape() == QFrame::NoFrame ? QString() : QStringLiteral("has a border");
    if (!(label->alignment() & align))
        return QStringLiteral("alignment %1").arg(int(label->alignment()));
    return frameMismatch(label, shape, QFrame::Sunken);
}

inline QString kindMismatch(const QWidget* w, const QString& kind)
{
    if (kind == "label")
        return labelMismatch(w, QFrame::Panel, Qt::AlignHCenter);
    if (kind == "left label")
        return labelMismatch(w, QFrame::Panel, Qt::AlignLeft);
    if (kind == "text")
        return labelMismatch(w, QFrame::NoFrame, {});
    if (kind == "panel") {
        const auto* frame = qobject_cast<const QFrame*>(w);
        return frame ? frameMismatch(frame, QFrame::Panel, QFrame::Raised) : QStringLiteral("not a frame");
    }
    if (kind == "button") {
        const auto* button = qobject_cast<const QPushButton*>(w);
        if (!button)
            return QStringLiteral("not a push button");
        return button->autoDefault() || button->isDefault() ? QStringLiteral("a default button") : QString();
    }
    if (kind == "date") {
        const auto* date = qobject_cast<const QDateEdit*>(w);
        return date && date->calendarPopup() ? QString() : QStringLiteral("not a drop-down date picker");
    }
    const bool ok = (kind == "edit" && qobject_cast<const QLineEdit*>(w))
        || (kind == "combo" && qobject_cast<const forms::ComboBox*>(w))
        || (kind == "radio" && qobject_cast<const QRadioButton*>(w))
        || (kind == "list" && qobject_cast<const forms::ListBox*>(w));
    return ok ? QString() : QStringLiteral("not a %1 but a %2").arg(kind, w->metaObject()->className());
}

inline QString textOf(const QWidget* w)
{
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    return {};
}

// Font and colours as the control shows them once its style sheet applies.
// The layout's Windows font names the font installed for it on this
// platform, and that font must have Japanese.
inline QString lookMismatch(const QWidget* w, const Control& c)
{
    const QFont font = w->font();
    if (font.pixelSize() != c.px)
        return differs("pixel size", QString::number(font.pixelSize()), QString::number(c.px));
    if (font.bold() != c.bold)
        return QStringLiteral("bold is %1").arg(font.bold());
    const QString family = forms::InstalledFamily(QString::fromUtf8(c.family));
    if (font.family() != family)
        return differs("family", font.family(), family);
    const QString drawnBy = QFontInfo(font).family();
    if (!QFontDatabase::writingSystems(drawnBy).contains(QFontDatabase::Japanese))
        return QStringLiteral("drawn by %1, which has no Japanese").arg(drawnBy);
    const QString color = w->palette().color(w->foregroundRole()).name(QColor::HexRgb);
    if (*c.color && color.compare(QLatin1String(c.color), Qt::CaseInsensitive) != 0)
        return differs("colour", color, QLatin1String(c.color));
    const QString background = w->palette().color(w->backgroundRole()).name(QColor::HexRgb);
    if (*c.background && background.compare(QLatin1String(c.background), Qt::CaseInsensitive) != 0)
        return differs("background", background, QLatin1String(c.background));
    return {};
}

inline QString placeMismatch(const QWidget* w, const Control& c)
{
    const QWidget* parent = w->parentWidget();
    if (!parent || parent->objectName() != QLatin1String(c.parent))
        return differs("parent", parent ? parent->objectName() : QString(), QLatin1String(c.parent));
    if (w->geometry() != c.rect)
        return QStringLiteral("at %1,%2 %3x%4").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height());
    const QString text = textOf(w);
    if (text != QString::fromUtf8(c.text))
        return differs("text", text, QString::fromUtf8(c.text));
    return kindMismatch(w, QLatin1String(c.kind));
}

// The control that has the focus, named as in the layout: the focus may sit
// in an inner part of it (the edit part of a combo box or a date picker).
inline QString focusedControl()
{
    QWidget* w = QApplication::focusWidget();
    while (w && (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_"))))
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

// Presses Tab (or Shift+Tab) steps times from the focus and lists where the
// focus went.
inline QStringList tabWalk(int steps, bool forward = true)
{
    QStringList visited;
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab,
                        forward ? Qt::NoModifier : Qt::ShiftModifier);
        visited.append(focusedControl());
    }
    return visited;
}

// Closes a modal window that is still open after a while, so that a window
// which fails to end itself fails the test instead of hanging it; stuck
// tells that it had to.
inline void closeIfStuck(QWidget* modal, bool& stuck, int ms = 3000)
{
    QTimer::singleShot(ms, modal, [modal, &stuck] {
        stuck = true;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(0);   // also a dialog that refuses to close
        else
            modal->close();
    });
}

} // namespace layoutcheck
