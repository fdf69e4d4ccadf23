#pragma once
// The help file, as our viewer reads it: an HTML file whose topics are the
// blocks <div class="topic"> ... </div> (not nested, no other </div> inside),
// each found by the anchors in it (<a name="Form1.N2"></a>). One topic holds
// the anchor "contents", the table of contents; a help context number N is
// the anchor "context-N". Links between topics are href="#<anchor>". The
// file opens in any web browser as one long page.

#include <QHash>
#include <QString>
#include <QStringList>

class THelpDocument
{
public:
    static QString ContentsAnchor() { return QStringLiteral("contents"); }
    static QString ContextAnchor(int context);

    // Reads and parses the file; false, with ErrorString, when it cannot be
    // read. A file without topics reads as a document without topics.
    bool Load(const QString &fileName);
    void SetHtml(const QString &html);
    const QString &ErrorString() const { return m_errorString; }

    // Every anchor of every topic, in file order.
    QStringList Anchors() const { return m_anchors; }
    bool HasTopic(const QString &anchor) const { return m_topicOfAnchor.contains(anchor); }
    // The topic holding Anchor as a page of its own: the file's title and
    // style sheet around the topic's block; empty for an unknown anchor.
    QString TopicPage(const QString &anchor) const;
    // The anchors that the topic holding Anchor links to ("#name" links).
    QStringList LinksOf(const QString &anchor) const;
    // The document's title (<title>).
    const QString &Title() const { return m_title; }

private:
    QString m_title;
    QString m_style; // the <style> element, or empty
    QStringList m_topics; // the blocks' inner HTML
    QStringList m_anchors;
    QHash<QString, int> m_topicOfAnchor;
    QString m_errorString;
};
