#pragma once
// The tree components' two message boxes, through the process-wide message service.
#include <QString>

// Text with the caption "Question", Yes and No, the question icon; true exactly for Yes.
bool AskQuestion(const QString& Text);
// Text with the caption "Information", OK, the information icon.
void ShowInformation(const QString& Text);
