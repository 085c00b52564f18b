// Choosing where sound goes. A machine without an audio device (a build
// server, a container) would make every audio call fail noisily; there the
// audio library is pointed at its silent output instead, so that sounds
// still load, play, loop and stop, only without being heard.
#ifndef ZV_AUDIO_OUTPUT_H
#define ZV_AUDIO_OUTPUT_H

namespace zv {
namespace platform {

// Decides once, before the first audio object of the process is made:
// when ALSOFT_DRIVERS is not set, a throw-away child process tries the
// default device, and if that fails the silent output is selected. Later
// calls do nothing. Returns true when sound goes to the silent output.
bool prepareAudioOutput();

// Whether prepareAudioOutput() chose the silent output.
bool audioOutputSilent();

// Makes the object that holds it prepare the audio output before any of
// its later members (audio library objects) are built.
struct AudioOutputReady {
  AudioOutputReady() { prepareAudioOutput(); }
};

} // namespace platform
} // namespace zv

#endif
