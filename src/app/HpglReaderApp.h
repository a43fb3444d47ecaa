// The application object of one conversion: prepares the logs, reads what the command line asks
// for, and runs the set-up of the output, the conversion of the plot and the save as a short
// sequence of steps, turning every outcome into a numbered message and an exit code.
#pragma once

#include "app/DriverOptions.h"
#include "app/MessageManager.h"
#include "base/Status.h"
#include "convert/ConversionSetup.h"
#include "convert/HpglConverter.h"
#include "convert/OutputDatabase.h"

#include <memory>
#include <string>

class HpglReaderApp {
public:
    HpglReaderApp();
    virtual ~HpglReaderApp();
    HpglReaderApp(const HpglReaderApp&) = delete;
    HpglReaderApp& operator=(const HpglReaderApp&) = delete;

    // Runs one conversion over the argument vector (argv[0] the program name). Returns the exit
    // code: 0 saved, 1 failed (reported in the error log), 3 version banner, 5 usage error.
    int run(int argc, char** argv);

    // Reads and checks the options, the target and the output name into config(). 0 when the
    // run may go on, otherwise the exit code (1 after a reported failure, 3 after -V, 5 for a
    // rejected option or a missing target). argv is rearranged by the option parser.
    int parseArguments(int argc, char** argv);

    // Prepares the output: a new sheet's circuit, the settings, the locked output database and
    // a new sheet's configuration. 1 on success, 0 after a reported failure.
    virtual int setUp();
    // Completes and saves the output, then lets its lock go. Non-zero on success, 0 after a
    // reported failure.
    virtual int writeOutput();

    const DriverConfig& config() const { return config_; }
    // The message manager, once run has made it.
    MessageManager* messages() const { return messages_.get(); }

protected:
    // One-time initialisation of the database layer (its class registry).
    virtual void initialiseDatabase();
    // Builds the HpglConverter from the set-up's settings and sheet and the offsets, and
    // converts the target with the scale and the pen map. Returns a ConvertResult; after
    // kConvertUnreadable, inputError_ holds the system's reason. tally_ receives what the
    // conversion did.
    virtual int convertPlot();

    // Reports a message with its argument and, when sysError is not 0, the cause line; 0.
    int fail(int number, const std::string& argument, int sysError = 0);
    // Reports one of two messages by the output kind (symbol or sheet); 0.
    int failByKind(int symbolNumber, int sheetNumber, const std::string& argument,
                   int sysError = 0);

    DriverConfig config_;
    OutputSettings settings_;  // the loaded "landata" and "lanenv"
    OutputDatabase output_;    // the output database and the sheet that receives the drawing
    std::unique_ptr<MessageManager> messages_;
    int inputError_ = 0;
    ConversionTally tally_;
    // Whether the run got as far as reading the plot (it then has a conversion report).
    bool plotRead_ = false;

private:
    // Writes the conversion report of -p:report for the run that ended with the exit code;
    // a report that cannot be written costs one line on standard error and nothing else.
    void writeReport(int exitCode) const;
    // The steps of run after the logs are prepared; the exit code.
    int runSteps(int argc, char** argv);
    // The message of a failed step, its exit code, and what ends the run.
    int finish(const DriverExit& exit);
};
