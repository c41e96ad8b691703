#pragma once

class TWindowHost;

// Opens the user manual at a topic (0 ... HelpTopicCount - 1) in the help viewer, and
// returns when the viewer is closed (at once when a viewer is open already: it only goes
// to the topic). Without a browser component that can show the manual, the manual is
// handed to the system's default browser.
void OpenHelpTopic(TWindowHost& host, int topic);
