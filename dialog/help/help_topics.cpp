#include "dialog/help/help_topics.h"

int HelpTopicOfPage(int) {
    return 0;
}
