package quillomere.tarvex;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static quillomere.tarvex.TestFiles.dir;
import static quillomere.tarvex.TestFiles.expectMessage;

import org.junit.jupiter.api.Test;

class ExperimentFileTest {
    private static TeskEXPFile experiment() {
        TeskEXPFile exp = new TeskEXPFile();
        exp.Name = "run.EXP";
        exp.DataPath = dir();
        exp.LibPath = dir();
        return exp;
    }

    @Test
    void readFillsEveryFieldAndHandsOutTheProtocolSteps() throws Exception {
        try (TeskEXPFile exp = experiment()) {
            assertTrue(exp.Exists());
            exp.Read();
            assertEquals("TestChip", exp.ChipType);
            assertEquals("lot-7", exp.ChipLot);
            assertEquals("ana", exp.Operator);
            assertEquals("liver sample", exp.SampleDesc);
            assertEquals("kit lot 9", exp.ReagentLot);
            assertEquals("Hyb 45", exp.Protocol);
            assertEquals("scanner-1", exp.ScannerID);
            assertEquals(2, exp.NumberOfScans);
            assertEquals(3, exp.NumProtocolSteps);
            assertEquals(dir() + "/run.EXP", exp.FullPathName);
            assertEquals("Stain", exp.GetProtocolStep(1));
            assertArrayEquals(new String[] {"Wash A 10 min", "Stain", "Wash B"}, exp.GetProtocolSteps());
            assertTrue(exp.ReleaseCOMObject());
        }
    }

    @Test
    void emptyInputsAndFailingOperationsNameTheStep() throws Exception {
        TeskEXPFile exp = experiment();
        exp.Name = "";
        expectMessage("EXP name cannot be empty", exp::Read);
        exp.Name = "run.EXP";
        exp.DataPath = null;
        expectMessage("DataPath cannot be empty", exp::Exists);
        exp.DataPath = dir();
        exp.LibPath = "";
        expectMessage("LibPath cannot be empty", exp::Read);
        exp.LibPath = dir();
        exp.Name = "missing.EXP";
        assertFalse(exp.Exists());
        exp.Name = "run.CEL";
        expectMessage("COM Error - Read: Failure in ITeskEXPFile-put_Name: "
                + "Experiment file extension (.EXP) is expected", exp::Read);
        exp.close();
        // Without an object (released), the other members fail rather than crash.
        expectMessage("COM Error - GetProtocolSteps: Invalid pointer", exp::GetProtocolSteps);
    }
}
