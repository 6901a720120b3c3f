#pragma once

// The preview's Send button: the report as a PDF attached to a new message of the user's mail program, through the
// desktop's mail opener (`xdg-email`).

#include <string>

class TRLGraphicStorage;

// The mail opener's path, looked up on PATH, or empty when there is none.
std::string FindMailOpener();
// Why the Send button is disabled, in the user's words; empty when the opener is there.
std::string SendUnavailableReason();
// The attachment's file name: the report's title made a file name, with ".pdf"; "relatorio.pdf" without a title.
std::string AttachmentName(const std::string& title);
// The process's private folder for attachments (mode 0700), made on first use and removed with what it holds when
// the program ends: the mail program may read the file long after the opener returned.
const std::string& AttachmentFolder();

// Writes every page as a PDF into the attachment folder and calls `xdg-email --subject <title> --attach <file>`,
// serving the windows while it runs. False when the user cancelled the writing; raises an Exception, in
// Portuguese, when the PDF cannot be written or the opener fails.
bool SendPages(TRLGraphicStorage& pages);
