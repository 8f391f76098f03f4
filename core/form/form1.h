#pragma once

#include "form1_view.h"
#include "sentence_assembler.h"
#include "services.h"
#include "text.h"
#include "time_of_day.h"

#include <optional>

namespace cronalba {

// What Form1's handlers decide, whichever toolkit draws the window: the front end creates its
// window from kForm1Layout, hands it in as the view, and calls the handler of each event.
class Form1 {
public:
    Form1(Form1View &view, Form1Services services);

    // Window loaded, once, before it first shows: fills the port and speed lists.
    void Form_Load();
    // Every kTimer1IntervalMs: the computer's time into its display.
    void Timer1_Timer();
    // A click on a button of the window: runs that button's handler (below); other controls
    // have none.
    void click(ControlId button);
    // Window unloading, through the exit button or the window's own close control.
    void Form_Unload();
    // comNMEA's notification: received text goes to the sentence assembler. The serial control
    // raises it (Form1 hands it this handler when made); tests may call it directly.
    void comNMEA_OnComm();

    // comPuerto's tooltip, asked for when the user rests the mouse on it: listing the system's
    // ports takes a while, so it isn't done before.
    Text comPuertoToolTip() const;

private:
    // "Empezar conexión": (re)opens the port with the chosen number and speed.
    void Command1_Click();
    // "SALIR DEL PROGRAMA".
    void Command2_Click();
    // "Sincronizar Hora": sets the clock to the GPS time plus the difference.
    void cmdSync_Click();
    // Sets the clock as of the click; when automatic synchronisation refuses, offers to switch
    // it off and set the same time again.
    ClockSetResult setClock(TimeOfDay newTime, Moment clickedAt);

    void refreshComputerTime();
    void showGpsTime(std::optional<TimeOfDay> time);

    Form1View &view;
    Form1Services services;
    CommControl &comNMEA;

    // The time lblTime(0) shows, none while it is blank: only this window writes that label.
    std::optional<TimeOfDay> gpsTimeShown;
    SentenceAssembler sentences; // holds strBuffer, kept from one connection to the next
    // While set, the clock is being set: a password prompt or a question may be open, and a
    // click that reaches the window then is not a new request.
    bool syncUnderWay = false;
};

} // namespace cronalba
