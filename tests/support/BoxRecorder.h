#pragma once

#include "common/DifferencesDialog.h"
#include "common/MessageBox.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

// Sees every modal QMessageBox as a user would: when a box is shown it
// records its icon, title, text and buttons, then presses its first button
// (or closes it when it has none). The box really runs its modal loop,
// so the code under test takes exactly the path it takes for a user.
class BoxRecorder : public QObject
{
    Q_OBJECT

public:
    explicit BoxRecorder(QObject *parent = nullptr);
    ~BoxRecorder() override;

    const QList<MessageRecord> &boxes() const { return m_boxes; }
    QStringList texts() const;
    int count() const { return m_boxes.size(); }
    const MessageRecord &last() const { return m_boxes.last(); }
    // Every list of differences shown, as its table read.
    const QList<DifferencesRecord> &lists() const { return m_lists; }
    void clear() { m_boxes.clear(), m_lists.clear(); }
    // Called as each box appears, while it is still open.
    void setOnBox(std::function<void(const MessageRecord &)> onBox) { m_onBox = std::move(onBox); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<MessageRecord> m_boxes;
    QList<DifferencesRecord> m_lists;
    std::function<void(const MessageRecord &)> m_onBox;
};
