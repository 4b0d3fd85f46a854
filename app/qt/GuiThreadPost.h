#pragma once

#include <QMetaObject>
#include <QObject>

#include <functional>
#include <memory>
#include <mutex>
#include <utility>

// Carries calls from any thread to a QObject's own thread through its event loop. One
// arriving after the object has gone is dropped: the object destroys this member first.
class GuiThreadPost {
public:
    using Post = std::function<void(std::function<void()>)>;

    explicit GuiThreadPost(QObject* receiver) : m_box(std::make_shared<Box>(receiver)) {}
    ~GuiThreadPost()
    {
        const std::lock_guard guard(m_box->mutex);
        m_box->receiver = nullptr;
    }
    GuiThreadPost(const GuiThreadPost&) = delete;
    GuiThreadPost& operator=(const GuiThreadPost&) = delete;

    // What other threads call; it may outlive this object.
    [[nodiscard]] Post poster() const
    {
        return [box = m_box](std::function<void()> call) {
            const std::lock_guard guard(box->mutex);
            if (box->receiver)
                QMetaObject::invokeMethod(box->receiver, std::move(call), Qt::QueuedConnection);
        };
    }

private:
    struct Box {
        QObject* receiver;
        std::mutex mutex;
    };
    std::shared_ptr<Box> m_box;
};
