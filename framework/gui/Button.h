#pragma once
#include "framework/gui/Array.h"
#include "framework/gui/Component.h"
#include "framework/gui/Font.h"
#include "framework/core/Message.h"

namespace q9framework {

/** A push button with a text, drawn by the look and feel (button background, then the text).

    A press on an enabled button makes it pressed and tells the listeners (buttonPressed); the release
    tells them buttonReleased. The click counts at the release when the pointer is still over the
    button (then listeners hear buttonClicked and the parent childClicked), or at the press with
    triggerOnPress (listeners only). Disabled buttons ignore the pointer.

    With asyncNotify, buttonClicked arrives later from the main loop instead of inside the mouse
    handling, so a listener may destroy the button or its window: the click posts a
    ButtonNotificationMessage to the button itself, carrying a copy of the listeners as they were at
    the click (listeners added or removed afterwards do not change who hears it). A listener that
    destroys the button ends that delivery (the listeners after it are not called), and destroying the
    button cancels a click still on its way. Without asyncNotify, listeners must not destroy the
    button. Main thread only. */
class Button : public Component, public MessagePoster {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void buttonPressed(Button& button) { (void)button; }
        virtual void buttonClicked(Button& button) { (void)button; }
        virtual void buttonReleased(Button& button) { (void)button; }
    };

    /** Cursor: the pointing hand; repaints on hover and press. The font is a copy of the default font. */
    explicit Button(const String& text = String());
    ~Button() override;

    /** The look and feel's button paint bounds for the bounds. */
    Rectangle getPaintBounds() override;
    void mouseDown(const MouseEvent& event) override;
    void mouseUp(const MouseEvent& event) override;
    void paint(Painter& painter) override;
    /** Delivers an asynchronous click: buttonClicked to every listener the message carries. Other
        messages are destroyed unread. */
    void handleMessage(Message* message) override;

    void setText(const String& newText);
    const String& getText() const noexcept { return text; }
    bool isPressed() const noexcept { return pressed; }
    void setTriggerOnPress(bool onPress) noexcept { triggerOnPress = onPress; }
    void setAsyncNotify(bool async) noexcept { asyncNotify = async; }
    /** The text's font (a null font draws the painting pass's default). Repaints. */
    void setFont(const Font& newFont);
    const Font& getFont() const noexcept { return font; }

    /** Duplicates and null are ignored. Safe during a notification. */
    void addListener(Listener* listener) { listeners.add(listener); }
    bool removeListener(Listener* listener) { return listeners.remove(listener); }

private:
    void reportClick();

    String text;
    bool triggerOnPress = false;
    bool pressed = false;
    bool asyncNotify = false;
    ListenerList<Listener> listeners;
    Font font;
};

/** A click on its way to a button's listeners (Button::setAsyncNotify). */
class ButtonNotificationMessage : public Message {
public:
    static constexpr uint64_t messageCode = 0x42746e436c6b;    // "BtnClk"

    ButtonNotificationMessage(Button& source, Array<Button::Listener*> listenersAtClick)
        : Message(messageCode), button(source), listeners(std::move(listenersAtClick)) {}

    Button& button;
    const Array<Button::Listener*> listeners;
};

} // namespace q9framework
