#pragma once

// Makes report generations show the progress window: one bar per report of the chain, Cancel stopping the run.
// Programs with a screen install it once at start-up; batch runs leave it out and show nothing.
void InstallReportProgressWindow();
