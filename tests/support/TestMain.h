#pragma once

// Makes every message box that no test expects a failure.
void failOnUnexpectedMessages();
