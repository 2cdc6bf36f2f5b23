package quillomere.tarvex;

/**
 * A control (QC) probe set of a layout or results file. Its probes are read through the file
 * object that produced it.
 */
public class TeskControlProbeSet extends ChildObject {
    static {
        NativeLibrary.load();
    }

    /** NumQCProbes: Filled by the native methods. */
    public int NumQCProbes;
    /** QCType: Filled by the native methods. */
    public TARVEX_QC_PROBESET_TYPE QCType;
    /** ProbeSetType: Filled by the native methods. */
    public TARVEX_PROBESET_TYPE ProbeSetType;

    /**
     * One probe of this control probe set.
     *
     * @param index index of the item, from 0
     * @return the probe
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskProbe GetQCProbe(int index) throws Exception;

    /**
     * Every probe of this control probe set.
     *
     * @return the probes, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskProbe[] GetQCProbes() throws Exception;

}
