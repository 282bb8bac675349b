// The channel under test and the input-relay switches, shared by the verification page and the
// calibration page.
#pragma once

namespace qm7x {

// Channel under test, 1..3; written by the verification run and by the calibration run from their
// own channel fields; 0 until a run has set it.
inline int curChan = 0;

// Sets RELE_SWITCH of the calibration page and, if the verification page exists, of that page
// too; no driver call.
void SetReleSwitch(int state);

// Callback of RELE_SWITCH on both pages: switches the input relay (channel 0) as the switch shows;
// the status is shown. A switch the driver refused goes back to what the relay still is, and the
// status line says so. Does not move the other page's switch; does nothing while a run is in
// progress. Returns 0.
int releSwitch(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);

// Releases the input relay at the end of a run. Both switches show what the relay then is: out,
// or, when the driver refused, as it was (in if either switch showed it in); the status line
// then adds the refusal to what it shows.
// Returns the driver's status.
int ReleaseRelay();

}  // namespace qm7x
