#pragma once

class TMainForm;

// Opens the user manual at a topic (0 ... HelpTopicCount - 1) in the help viewer.
void OpenHelpTopic(TMainForm& main, int topic);
