#pragma once
// The one application-wide error path: an error that no other part catches is shown as
// "Ошибка выполнения отчета: " + its message (caption "Приложение будет закрыто", warning icon, owned
// by the main window), and then the application is told to terminate. Exit code 0 on every path.
#include <QString>

#include <exception>
#include <functional>

// The message text of any exception: ours carry a QString, others their what().
QString ExceptionMessage(const std::exception& E);

// Shows the box for E and then calls Terminate (the window's "ask the application to quit").
void ReportFatalError(const QString& Message, const std::function<void()>& Terminate);

QString FatalErrorText(const QString& Message);
