#include "monitorprofile.h"

QByteArray monitorProfileBytes(const QWidget *)
{
    return QByteArray();
}

std::unique_ptr<QObject> watchPublishedProfiles(std::function<void()>)
{
    return nullptr;
}
