// SPDX-License-Identifier: Apache-2.0
#include "ui/forms/backgroundwork.h"

#include <QCoreApplication>
#include <QPointer>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace corvanty {

namespace {

struct Worker {
  std::thread thread;
  std::shared_ptr<std::atomic<bool>> finished = std::make_shared<std::atomic<bool>>(false);
};

std::mutex g_mutex;
std::vector<Worker> g_workers;

// Joins the threads that have ended; called with g_mutex held.
void ReapFinishedWorkers() {
  for (auto it = g_workers.begin(); it != g_workers.end();) {
    if (!it->finished->load()) {
      ++it;
      continue;
    }
    it->thread.join();
    it = g_workers.erase(it);
  }
}

}  // namespace

void RunInBackground(QObject* receiver, std::function<void()> work, std::function<void()> done) {
  QPointer<QObject> guard(receiver);
  std::lock_guard<std::mutex> lock(g_mutex);
  ReapFinishedWorkers();
  Worker worker;
  worker.thread = std::thread(
      [guard, work = std::move(work), done = std::move(done), finished = worker.finished] {
        work();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, done] {
              if (guard) done();
            },
            Qt::QueuedConnection);
        finished->store(true);
      });
  g_workers.push_back(std::move(worker));
}

void WaitForBackgroundWork() {
  std::vector<Worker> workers;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    workers.swap(g_workers);
  }
  for (Worker& worker : workers) worker.thread.join();
}

}  // namespace corvanty
