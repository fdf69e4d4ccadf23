#include "help/HelpDocument.h"

#include <QFile>
#include <QRegularExpression>

namespace {

const QRegularExpression &TopicPattern()
{
    static const QRegularExpression pattern(QStringLiteral("<div\\s+class=\"topic\"\\s*>(.*?)</div>"),
                                            QRegularExpression::DotMatchesEverythingOption
                                                | QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

const QRegularExpression &AnchorPattern()
{
    static const QRegularExpression pattern(QStringLiteral("<a\\s+name=\"([^\"]+)\""),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

const QRegularExpression &LinkPattern()
{
    static const QRegularExpression pattern(QStringLiteral("<a\\s+href=\"#([^\"]+)\""),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

QString FirstMatch(const QString &html, const QString &pattern)
{
    const QRegularExpression expression(pattern, QRegularExpression::DotMatchesEverythingOption
                                                     | QRegularExpression::CaseInsensitiveOption);
    return expression.match(html).captured(1);
}

} // namespace

QString THelpDocument::ContextAnchor(int context)
{
    return QStringLiteral("context-") + QString::number(context);
}

bool THelpDocument::Load(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_errorString = file.errorString();
        SetHtml(QString());
        return false;
    }
    m_errorString.clear();
    SetHtml(QString::fromUtf8(file.readAll()));
    return true;
}

void THelpDocument::SetHtml(const QString &html)
{
    m_title = FirstMatch(html, QStringLiteral("<title>(.*?)</title>")).trimmed();
    m_style = FirstMatch(html, QStringLiteral("(<style.*?</style>)"));
    m_topics.clear();
    m_anchors.clear();
    m_topicOfAnchor.clear();
    QRegularExpressionMatchIterator topics = TopicPattern().globalMatch(html);
    while (topics.hasNext()) {
        const QString block = topics.next().captured(1);
        QRegularExpressionMatchIterator anchors = AnchorPattern().globalMatch(block);
        while (anchors.hasNext()) {
            const QString anchor = anchors.next().captured(1);
            m_anchors.append(anchor);
            m_topicOfAnchor.insert(anchor, int(m_topics.size()));
        }
        m_topics.append(block);
    }
}

QString THelpDocument::TopicPage(const QString &anchor) const
{
    const auto topic = m_topicOfAnchor.constFind(anchor);
    if (topic == m_topicOfAnchor.constEnd())
        return {};
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>") + m_title + QStringLiteral("</title>")
        + m_style + QStringLiteral("</head><body>") + m_topics.at(*topic) + QStringLiteral("</body></html>");
}

QStringList THelpDocument::LinksOf(const QString &anchor) const
{
    const auto topic = m_topicOfAnchor.constFind(anchor);
    if (topic == m_topicOfAnchor.constEnd())
        return {};
    QStringList links;
    QRegularExpressionMatchIterator matches = LinkPattern().globalMatch(m_topics.at(*topic));
    while (matches.hasNext())
        links.append(matches.next().captured(1));
    return links;
}
