#ifndef TESSIVO_BUSYWORK_H
#define TESSIVO_BUSYWORK_H

#include <QApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QWidget>
#include <QtConcurrent>

#include <functional>

// Runs work on another thread while the window shows a busy cursor, takes no
// input and keeps repainting (an event loop runs until the work is done);
// returns its result. For the steps of the import that take a noticeable
// time on a big photograph.
template <class Result>
Result runBusy(QWidget *window, std::function<Result()> work)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    window->setEnabled(false);
    QFutureWatcher<Result> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<Result>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(std::move(work)));
    if (!watcher.isFinished())
        loop.exec();
    watcher.waitForFinished();
    window->setEnabled(true);
    QApplication::restoreOverrideCursor();
    return watcher.result();
}

#endif
