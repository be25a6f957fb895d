// The one way work runs off the window's thread: results come back on the
// window's thread only for the current run of a living owner, what the work
// throws comes back as a message, and no run ever waits for another.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include <QTest>

#include "ui/worker_task.h"

using lomi::ui::WorkerTask;
using namespace std::chrono_literals;

namespace {

// Work held, as a read of a hung drive would hold it, until released.
struct Hold {
    std::mutex mutex;
    std::condition_variable wake;
    bool released = false;
    std::atomic<bool> entered{false};

    void Wait() {
        entered = true;
        std::unique_lock lock(mutex);
        wake.wait(lock, [this] { return released; });
    }
    void Release() {
        {
            const std::lock_guard lock(mutex);
            released = true;
        }
        wake.notify_all();
    }
};

// What reached the owner's thread.
struct Heard {
    int deliveries = 0;
    int failures = 0;
    std::string message;
    bool onOwnThread = true;
    std::thread::id workThread;
};

WorkerTask::FailureHandler Failure(Heard& heard) {
    return [&heard](const std::string& message) {
        ++heard.failures;
        heard.message = message;
    };
}

}  // namespace

class WorkerTaskTest : public QObject {
    Q_OBJECT

private slots:
    void theResultComesBackOnTheOwnersThread() {
        QObject owner;
        WorkerTask task(&owner);
        Heard heard;
        const std::thread::id gui = std::this_thread::get_id();
        task.Start(
            "試験",
            [&heard](std::stop_token) {
                heard.workThread = std::this_thread::get_id();
                return WorkerTask::Delivery([&heard] { ++heard.deliveries; });
            },
            Failure(heard));
        QVERIFY(task.Running());
        QTRY_COMPARE(heard.deliveries, 1);
        QVERIFY(heard.workThread != gui);
        QCOMPARE(heard.failures, 0);
        QVERIFY(!task.Running());
    }

    void whatTheWorkThrowsComesBackAsAMessage() {
        struct Case {
            std::function<void()> fail;
            const char* message;
        };
        for (const Case& c :
             {Case{[] { throw std::bad_alloc(); }, "試験中にメモリが足りなくなりました。"},
              Case{[] { throw std::runtime_error("壊れた"); },
                   "試験中にエラーが起きました（壊れた）。"},
              Case{[] { throw 3; }, "試験中にエラーが起きました。"}}) {
            QObject owner;
            WorkerTask task(&owner);
            Heard heard;
            task.Start(
                "試験",
                [&c](std::stop_token) -> WorkerTask::Delivery {
                    c.fail();
                    return {};
                },
                Failure(heard));
            QTRY_COMPARE(heard.failures, 1);
            QCOMPARE(heard.message, std::string(c.message));
            QCOMPARE(heard.deliveries, 0);
        }
    }

    void onlyTheCurrentRunOfALivingOwnerIsHeard() {
        // Abandoned, replaced by a new run, or its owner gone.
        for (int way = 0; way < 3; ++way) {
            auto owner = std::make_unique<QObject>();
            auto task = std::make_unique<WorkerTask>(owner.get());
            Heard heard;
            Hold hold;
            task->Start(
                "試験",
                [&](std::stop_token stop) {
                    hold.Wait();
                    const bool stopped = stop.stop_requested();
                    return WorkerTask::Delivery(
                        [&heard, stopped] { heard.deliveries += stopped ? 100 : 1; });
                },
                Failure(heard));
            QTRY_VERIFY(hold.entered);
            if (way == 0) task->Abandon();
            if (way == 1) {
                task->Start(
                    "試験",
                    [&](std::stop_token) {
                        return WorkerTask::Delivery([&heard] { heard.deliveries += 10; });
                    },
                    Failure(heard));
            }
            if (way == 2) owner.reset();
            hold.Release();
            QVERIFY(WorkerTask::WaitForAll(10s));
            QTest::qWait(20);
            QCOMPARE(heard.deliveries, way == 1 ? 10 : 0);
            QCOMPARE(heard.failures, 0);
        }
    }

    void aHeldRunNeitherBlocksTheNextNorIsWaitedFor() {
        QObject owner;
        Hold hold;
        Heard heard;
        {
            WorkerTask held(&owner);
            held.Start(
                "試験",
                [&](std::stop_token) {
                    hold.Wait();
                    return WorkerTask::Delivery();
                },
                Failure(heard));
            QTRY_VERIFY(hold.entered);
            // The destructor abandons the run without waiting for it.
        }
        WorkerTask next(&owner);
        next.Start(
            "試験",
            [&](std::stop_token) { return WorkerTask::Delivery([&] { ++heard.deliveries; }); },
            Failure(heard));
        QTRY_COMPARE(heard.deliveries, 1);
        QVERIFY(!WorkerTask::WaitForAll(10ms));
        hold.Release();
        QVERIFY(WorkerTask::WaitForAll(10s));
    }
};

QTEST_MAIN(WorkerTaskTest)
#include "worker_task_test.moc"
