#include "applyelement.h"

#include "languagedocument.h"
#include "propertybyname.h"

#include <QApplication>
#include <QList>
#include <QWidget>

QObject *FindComponent(const QObject *owner, QStringView name)
{
    QObjectList queue = owner->children();
    for (qsizetype i = 0; i < queue.size(); ++i) {
        QObject *candidate = queue.at(i);
        if (candidate->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
        queue.append(candidate->children());
    }
    return nullptr;
}

void ApplyElement(QObject *object, const pugi::xml_node &element)
{
    if (!object)
        return;
    for (const pugi::xml_attribute attribute : element.attributes())
        SetPropertyByName(object, QString::fromUtf8(attribute.name()),
                          QString::fromUtf8(attribute.value()));
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_element)
            ApplyElement(FindComponent(object, NodeName(child)), child);
    }
}

void ApplyFormsToApplication(const pugi::xml_node &forms)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (const pugi::xml_attribute attribute = forms.first_attribute())
        throw PropertyNotFoundError(QString::fromUtf8(attribute.name()),
                                    QStringLiteral("Application"));
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const pugi::xml_node child : forms.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const QString name = NodeName(child);
        for (QWidget *window : windows) {
            if (window->objectName().compare(name, Qt::CaseInsensitive) == 0)
                ApplyElement(window, child);
        }
    }
}
